#pragma once

// Stand-ins for the message boxes and the folder dialog in tests. Header-only; include it only
// from tests that link the program's libraries.

#include "support/MessageBoxes.h"
#include "support/OutputFolderChooser.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tqtest {

// Records every message box instead of showing it. Answers come from a queue; when the queue is
// empty a box answers with its first button (OK or Yes).
class RecordingPresenter : public IMessagePresenter
{
public:
    int Present(const TMessageBoxRequest &request) override
    {
        requests.push_back(request);
        if (!answers.empty()) {
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return request.buttons == TMessageButtons::Ok ? IdOk : IdYes;
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const TMessageBoxRequest &request : requests)
            texts.push_back(request.text);
        return texts;
    }

    std::vector<TMessageBoxRequest> requests;
    std::deque<int> answers;
};

// A folder dialog that returns scripted choices; std::nullopt stands for Cancel. When the script
// is used up it cancels.
class ScriptedFolderDialog : public IFolderDialog
{
public:
    std::optional<std::string> PickFolder(const std::string &title) override
    {
        titles.push_back(title);
        if (choices.empty())
            return std::nullopt;
        std::optional<std::string> choice = choices.front();
        choices.pop_front();
        return choice;
    }

    std::deque<std::optional<std::string>> choices;
    std::vector<std::string> titles;
};

} // namespace tqtest
