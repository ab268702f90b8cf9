#pragma once

#include "formats/ProfileNamePrompt.h"
#include "support/MessageBoxes.h"

class QWidget;

// The profile name prompt of the program: a modal input window captioned with the application
// title. Problems with a name are shown as a warning box through `messageBoxes`.
class TInputNamePrompt : public TProfileNamePrompt
{
public:
    explicit TInputNamePrompt(const TMessageBoxes &messageBoxes);

    // The window the prompt is centred on; nullptr centres it on the desktop.
    void SetParentWindow(QWidget *parent) { m_parent = parent; }

    std::optional<std::string> AskName(const std::string &proposed) override;
    void ShowNameProblem(const std::string &message) override;

private:
    const TMessageBoxes &m_messageBoxes;
    QWidget *m_parent = nullptr;
};
