#include "joblist/JobListFunc.h"

#include "joblist/SourceFileDialog.h"
#include "joblist/SourceFileTypes.h"
#include "platform/FileSystem.h"
#include "preview/AvProbeEngine.h"
#include "support/MessageBoxes.h"
#include "support/TextFunc.h"
#include "toolkit/JobListRows.h"

#include <QCoreApplication>
#include <algorithm>

namespace {

constexpr const char *kNoDuration = "00:00:00";

std::unique_ptr<MediaEngine> MakeAvProbe()
{
    return std::make_unique<TAvProbeEngine>();
}

} // namespace

TJobListFunc::TJobListFunc(const TMessageBoxes &boxes, ProbeEngineFactory probeFactory)
    : m_boxes(boxes), m_probeFactory(probeFactory ? std::move(probeFactory) : MakeAvProbe)
{
}

void TJobListFunc::AddFilesToList(TJobListRows &list, const std::vector<std::string> &names) const
{
    std::unique_ptr<MediaEngine> probe = m_probeFactory();
    for (const std::string &name : names) {
        if (list.FindRow(name) >= 0)
            continue;
        if (!TSourceFileTypes::IsAccepted(name) || platform::FolderExists(name))
            continue;
        const std::string duration = TTextFunc::FormatTime(GetMediaDuration(name, *probe));
        // The size is read before the row exists, so a failure leaves no half-filled row.
        const int64_t size = duration == kNoDuration ? -1 : GetFileSize(name);
        if (size < 0) {
            m_boxes.ShowMsg(ReadingErrorText, 1);
            continue;
        }
        list.AppendRow({"True", name, TTextFunc::FormatFileSize(size), duration, kNoDuration,
                        duration, duration});
    }
}

std::vector<std::string> TJobListFunc::ChooseSourceFiles(ISourceFileDialog &dialog,
                                                         bool removeDuplicates,
                                                         const std::string &initialFolder)
{
    dialog.SetInitialFolder(initialFolder);
    if (!dialog.Execute())
        return {};
    std::vector<std::string> names = dialog.Files();
    return removeDuplicates ? RemoveDuplicateNames(names) : names;
}

std::vector<std::string> TJobListFunc::RemoveDuplicateNames(const std::vector<std::string> &names)
{
    std::vector<std::string> unique;
    for (const std::string &name : names) {
        if (std::find(unique.begin(), unique.end(), name) == unique.end())
            unique.push_back(name);
    }
    return unique;
}

void TJobListFunc::RemoveSelectedFiles(TJobListRows &list)
{
    if (list.SelectedRows().empty())
        return;
    QCoreApplication::processEvents();

    // File names are unique, so the anchor row is remembered by its name.
    const int focused = list.FocusedRow();
    std::string anchor = focused > 0 ? list.CellText(focused - 1, JobColumn::FileName) : "";

    list.BeginUpdate();
    for (std::vector<int> selected = list.SelectedRows(); !selected.empty();
         selected = list.SelectedRows()) {
        QCoreApplication::processEvents();
        selected = list.SelectedRows();
        if (selected.empty())
            break;
        const int row = selected.front();
        if (!anchor.empty() && list.CellText(row, JobColumn::FileName) == anchor)
            anchor.clear();
        list.DeleteRow(row);
    }
    const int anchorRow = anchor.empty() ? -1 : list.FindRow(anchor);
    if (anchorRow >= 0) {
        list.SetFocusedRow(anchorRow);
        list.SetRowSelected(anchorRow, true);
    }
    list.EndUpdate();
}

bool TJobListFunc::ClearFileList(TJobListRows &list)
{
    return list.DeleteAllRows();
}

int64_t TJobListFunc::GetFileSize(const std::string &fileName)
{
    return platform::FileSize(fileName);
}

int64_t TJobListFunc::RowSeconds(int64_t milliseconds, bool holdsAudio)
{
    if (milliseconds <= 0)
        return 0;
    const int64_t seconds = milliseconds / 1000;
    if (seconds == 0)
        return holdsAudio ? 1 : 0;
    return seconds + (milliseconds % 1000 > kRoundingToleranceMs);
}

int64_t TJobListFunc::GetMediaDuration(const std::string &fileName, MediaEngine &engine)
{
    try {
        engine.ClearGraph();
        engine.SetActive(true);
        engine.RenderFile(fileName);
        const int64_t milliseconds = engine.DurationMs();
        const bool holdsAudio = engine.HoldsAudio();
        engine.SetActive(false);
        return RowSeconds(milliseconds, holdsAudio);
    } catch (const std::exception &) {
        engine.SetActive(false);
        return 0;
    }
}
