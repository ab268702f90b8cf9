#pragma once

#include "MemoryJobRows.h"
#include "RecordingDesktopOpener.h"
#include "SupportFakes.h"
#include "conversion/ConversionSettings.h"
#include "conversion/ConversionWindows.h"
#include "formats/Catalogue.h"
#include "platform/DesktopOpener.h"
#include "platform/PowerControl.h"
#include "platform/ProcessTable.h"
#include "support/MessageBoxes.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tqtest {

// The output types with their codec options and extensions, and the current list items.
class FakeSettings : public TConversionSettings
{
public:
    FakeSettings()
    {
        items = {{TOptionList::VideoBitrate, "128"},
                 {TOptionList::VideoSize, "176x144"},
                 {TOptionList::FrameRate, "15"},
                 {TOptionList::AspectRatio, "4:3"},
                 {TOptionList::AudioBitrate, "128"},
                 {TOptionList::Volume, "100"},
                 {TOptionList::Channels, "2 channels, Stereo"},
                 {TOptionList::SampleRate, "44100"}};
    }
    std::string CurrentItemText(TOptionList list) const override
    {
        const auto found = items.find(list);
        return found == items.end() ? std::string() : found->second;
    }
    int OutputTypeIndex() const override { return outputType; }
    std::string CodecOptionOf(int type) const override { return TCatalogue::CodecOption(type); }
    std::string OutputFormatOf(int type) const override { return TCatalogue::OutputFormat(type); }
    std::string OutputExtensionOf(int type) const override
    {
        return TCatalogue::OutputExtension(type);
    }
    std::string OutputFolderText() const override { return outputFolder; }
    void ApplyCustomProfile() override
    {
        ++profileApplications;
        if (onApplyCustomProfile)
            onApplyCustomProfile(*this);
    }

    std::map<TOptionList, std::string> items;
    int outputType = 2;
    std::string outputFolder;
    int profileApplications = 0;
    std::function<void(FakeSettings &)> onApplyCustomProfile;
};

class RecordingPower : public platform::PowerControl
{
public:
    bool PowerOff(std::string *) override
    {
        ++powerOffs;
        if (events != nullptr)
            events->push_back("power off");
        return true;
    }
    int powerOffs = 0;
    std::vector<std::string> *events = nullptr;
};

class FakeMainWindow : public TMainWindowControls
{
public:
    void SetMainWindowEnabled(bool value) override { enabled = value; }
    bool ShowOutputDirectoryChecked() const override { return showOutputDirectory; }
    bool ShutdownChecked() const override { return shutdown; }
    void QuitApplication() override
    {
        ++quits;
        if (events != nullptr)
            events->push_back("quit");
    }
    bool enabled = true;
    bool showOutputDirectory = true;
    bool shutdown = false;
    int quits = 0;
    std::vector<std::string> *events = nullptr;
};

// A progress window that records what the batch driver shows in it.
class RecordingProgress : public TProgressDisplay
{
public:
    void ResetCurrentFileBar() override { ++resets; }
    void ShowProgress() override
    {
        visible = true;
        ++shows;
        if (onShow)
            onShow();
    }
    void HideProgress() override { visible = false; }
    void ShowEncoderOutput(const std::string &text) override
    {
        outputs.push_back(text);
        if (onOutput)
            onOutput(text);
    }
    bool visible = false;
    int shows = 0;
    int resets = 0;
    std::vector<std::string> outputs;
    std::function<void()> onShow;
    std::function<void(const std::string &)> onOutput;
};

// A process list whose one encoder can never be ended.
class UnkillableTable : public platform::ProcessTable
{
public:
    std::vector<platform::ProcessEntry> Snapshot() const override { return {{4242, 1, "evc"}}; }
    bool Terminate(long) override
    {
        ++attempts;
        return false;
    }
    int attempts = 0;
};

// The real process list, restricted to the children of this test process, so a test can
// never see or end a process it did not start.
class ChildrenOnlyTable : public platform::ProcessTable
{
public:
    std::vector<platform::ProcessEntry> Snapshot() const override
    {
        std::vector<platform::ProcessEntry> own;
        for (const platform::ProcessEntry &entry : m_system.Snapshot()) {
            if (entry.parentId == platform::CurrentProcessId())
                own.push_back(entry);
        }
        return own;
    }
    bool Terminate(long processId) override
    {
        for (const platform::ProcessEntry &entry : Snapshot()) {
            if (entry.id == processId) {
                ++terminations;
                return m_system.Terminate(processId);
            }
        }
        return false;
    }
    int terminations = 0;

private:
    platform::SystemProcessTable m_system;
};

} // namespace tqtest
