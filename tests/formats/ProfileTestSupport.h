#pragma once

#include "TestFolder.h"
#include "formats/MemoryChoiceList.h"
#include "formats/ProfileControls.h"
#include "formats/ProfileFunc.h"
#include "formats/ProfileNamePrompt.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tqtest {

// Answers the name prompt from a script: each entry is the text typed before OK, or nullopt for
// Cancel. An exhausted script cancels. Records every question and every problem shown.
class ScriptedNamePrompt : public TProfileNamePrompt
{
public:
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> proposals;
    std::vector<std::string> problems;

    std::optional<std::string> AskName(const std::string &proposed) override
    {
        proposals.push_back(proposed);
        if (answers.empty())
            return std::nullopt;
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowNameProblem(const std::string &message) override { problems.push_back(message); }
};

class MemorySwitch : public TControlSwitch
{
public:
    bool Enabled() const override { return m_enabled; }
    void SetEnabled(bool enabled) override { m_enabled = enabled; }

private:
    bool m_enabled = true;
};

// The main window's and the Options dialog's lists without windows.
struct MemoryProfileControls
{
    TMemoryChoiceList cbbOutputFiletype, cbbProfile;
    MemorySwitch btnOptions;
    TMemoryChoiceList cbbVideoSize, cbbVideoBitrate, cbbFramerate, cbbAspectratio;
    TMemoryChoiceList cbbAudioBitrate, cbbAudioSample, cbbAudioVolumeGain, cbbAudioChannels;
    TMemoryChoiceList cbbCustomProfile;

    TMainProfileControls Main() { return {&cbbOutputFiletype, &cbbProfile, &btnOptions}; }
    TOptionLists Options()
    {
        TOptionLists lists;
        lists.cbbVideoSize = &cbbVideoSize;
        lists.cbbVideoBitrate = &cbbVideoBitrate;
        lists.cbbFramerate = &cbbFramerate;
        lists.cbbAspectratio = &cbbAspectratio;
        lists.cbbAudioBitrate = &cbbAudioBitrate;
        lists.cbbAudioSample = &cbbAudioSample;
        lists.cbbAudioVolumeGain = &cbbAudioVolumeGain;
        lists.cbbAudioChannels = &cbbAudioChannels;
        lists.cbbCustomProfile = &cbbCustomProfile;
        return lists;
    }
    // Audio bitrate, channels and sample rate as the lists show them: "128|1 channel, Mono|22050".
    std::string AudioValues() const
    {
        return cbbAudioBitrate.SelectedItem() + "|" + cbbAudioChannels.SelectedItem() + "|" +
               cbbAudioSample.SelectedItem();
    }
};

// A temporary program folder with its Config folder.
class ProgramFolder
{
public:
    ProgramFolder(bool withConfig = true);
    const std::string &Path() const { return m_folder.Path(); }
    std::string ConfigFile(const std::string &name) const { return Path() + "Config/" + name; }
    std::string Store() const { return ReadWholeFile(ConfigFile("UserProfileInfo.ini")); }
    std::string Counter() const { return ReadWholeFile(ConfigFile("UserProfileCount.ini")); }

private:
    TestFolder m_folder;
};

} // namespace tqtest
