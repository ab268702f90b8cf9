// The job list's time texts as the timeline reads them: any Start, End and Duration text gives
// a number without overflow, the markers can be placed with it, and a time text that FormatTime
// wrote reads back to its seconds.
#include "FuzzCheck.h"
#include "preview/SegmentSelection.h"
#include "preview/TimelineGeometry.h"
#include "support/TextFunc.h"
#include "toolkit/JobRows.h"

#include <array>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

class OneRow : public TJobRows
{
public:
    int RowCount() const override { return 1; }
    std::string CellText(int row, int column) const override
    {
        return row == 0 && column >= 0 && column < JobColumn::Count ? cells[size_t(column)] : "";
    }
    void SetCellText(int row, int column, const std::string &text) override
    {
        if (row == 0 && column >= 0 && column < JobColumn::Count)
            cells[size_t(column)] = text;
    }
    bool IsRowSelected(int) const override { return true; }

    std::array<std::string, JobColumn::Count> cells;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int64_t written = input.ConsumeIntegralInRange<int64_t>(0, 999999999999);
    OneRow row;
    row.cells[JobColumn::FileName] = "/media/a.mp3";
    row.cells[JobColumn::StartTime] = input.ConsumeRandomLengthString(40);
    row.cells[JobColumn::EndTime] = input.ConsumeRandomLengthString(40);
    row.cells[JobColumn::Duration] = input.ConsumeRemainingBytesAsString();

    const int64_t start = TSegmentSelection::ReadTimeText(row.cells[JobColumn::StartTime]);
    const int64_t end = TSegmentSelection::ReadTimeText(row.cells[JobColumn::EndTime]);
    const int64_t duration = TSegmentSelection::ReadTimeText(row.cells[JobColumn::Duration]);
    TTimelineGeometry geometry;
    geometry.Place(start, end, duration);
    FUZZ_CHECK(geometry.LeftWidth() >= 1 && geometry.RightWidth() >= 1 &&
               geometry.MiddleWidth() >= 1);
    TTextFunc::FormatTime(TSegmentSelection::CutLength(row, "/MEDIA/A.MP3"));

    FUZZ_CHECK(TSegmentSelection::ReadTimeText(TTextFunc::FormatTime(written)) == written);
    row.cells[JobColumn::StartTime] = TTextFunc::FormatTime(written / 3);
    row.cells[JobColumn::EndTime] = TTextFunc::FormatTime(written);
    FUZZ_CHECK(TSegmentSelection::CutLength(row, "/media/A.mp3") == written - written / 3);
    return 0;
}
