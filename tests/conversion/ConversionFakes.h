#pragma once

#include "RecordingDesktopOpener.h"
#include "conversion/ConversionSettings.h"
#include "conversion/ConversionWindows.h"
#include "formats/Catalogue.h"
#include "platform/DesktopOpener.h"
#include "platform/PowerControl.h"
#include "platform/ProcessTable.h"
#include "support/MessageBoxes.h"
#include "toolkit/JobRows.h"

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tqtest {

// Job rows in a plain table.
class TableRows : public TJobRows
{
public:
    // Adds a checked row with the given file name and segment.
    void Add(const std::string &fileName, const std::string &start = "00:00:00",
             const std::string &end = "00:00:01")
    {
        rows.push_back({"True", fileName, "1 KB", end, start, end, end});
    }
    int RowCount() const override { return static_cast<int>(rows.size()); }
    std::string CellText(int row, int column) const override
    {
        if (row < 0 || row >= RowCount() || column < 0 || column >= JobColumn::Count)
            return {};
        return rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    }
    void SetCellText(int row, int column, const std::string &text) override
    {
        if (row >= 0 && row < RowCount() && column >= 0 && column < JobColumn::Count)
            rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
    }
    bool IsRowSelected(int) const override { return false; }

    std::vector<std::array<std::string, JobColumn::Count>> rows;
};

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

class AnsweringPresenter : public IMessagePresenter
{
public:
    int Present(const TMessageBoxRequest &request) override
    {
        requests.push_back(request);
        if (onPresent)
            onPresent(request);
        return answer;
    }
    std::vector<TMessageBoxRequest> requests;
    int answer = IdYes;
    std::function<void(const TMessageBoxRequest &)> onPresent;
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
