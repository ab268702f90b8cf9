#pragma once

#include "FakeSettings.h"
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
    void SetConvertEnabled(bool value) override { convertEnabled = value; }
    bool ShowOutputDirectoryChecked() const override { return showOutputDirectory; }
    bool ShutdownChecked() const override { return shutdown; }
    void QuitApplication() override
    {
        ++quits;
        if (events != nullptr)
            events->push_back("quit");
    }
    bool enabled = true;
    bool convertEnabled = true;
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

// A process list whose one encoder, a child of this process, can never be ended. A test makes
// it the running encoder (SetRunningEncoder(kId)) for the stopping to see it as its own.
class UnkillableTable : public platform::ProcessTable
{
public:
    static constexpr long kId = 4242;
    std::vector<platform::ProcessEntry> Snapshot() const override
    {
        return {{kId, platform::CurrentProcessId(), "evc", "/opt/tonequill/evc"}};
    }
    bool Terminate(long) override
    {
        ++attempts;
        return false;
    }
    long StarterOf(long) const override { return platform::CurrentProcessId(); }
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
    long StarterOf(long processId) const override { return m_system.StarterOf(processId); }
    int terminations = 0;

private:
    platform::SystemProcessTable m_system;
};

} // namespace tqtest
