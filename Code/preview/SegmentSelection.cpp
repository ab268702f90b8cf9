#include "preview/SegmentSelection.h"

#include "preview/MediaEngine.h"
#include "preview/PreviewPlayer.h"
#include "preview/TimelineGeometry.h"
#include "support/TextFunc.h"
#include "toolkit/JobRows.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {

std::string AsciiUpper(std::string text)
{
    for (char &c : text) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    }
    return text;
}

// A whole number and nothing else (an optional sign, digits); false otherwise.
bool ReadStrictInteger(const std::string &text, int64_t *value)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())))
        return false;
    errno = 0;
    char *end = nullptr;
    const long long number = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size())
        return false;
    *value = number;
    return true;
}

int64_t ReadStrictTime(const std::string &text)
{
    const std::vector<std::string> parts = TTextFunc::SplitString(text, ':');
    int64_t h = 0, m = 0, s = 0;
    if (parts.size() != 3 || !ReadStrictInteger(parts[0], &h) || !ReadStrictInteger(parts[1], &m) ||
        !ReadStrictInteger(parts[2], &s))
        return 0;
    // Parts beyond any real duration are no time; they would overflow the sum.
    constexpr int64_t limit = 999999999999;
    for (const int64_t part : {h, m, s}) {
        if (part > limit || part < -limit)
            return 0;
    }
    return h * 3600 + m * 60 + s;
}

int64_t TruncatedPart(const std::string &text)
{
    const double value = TTextFunc::TextToNumber(text);
    // Values beyond any real duration are cut before the conversion to an integer.
    constexpr double limit = 1e12;
    return int64_t(value > limit ? limit : value < -limit ? -limit : value);
}

} // namespace

TSegmentSelection::TSegmentSelection(TPreviewPlayer &player, TTimelineGeometry &geometry)
    : m_player(player), m_geometry(geometry)
{
}

int64_t TSegmentSelection::ReadTimeText(const std::string &text)
{
    const std::vector<std::string> parts = TTextFunc::SplitString(text, ':');
    const int64_t multipliers[] = {3600, 60, 1};
    int64_t seconds = 0;
    for (size_t i = 0; i < parts.size() && i < 3; ++i)
        seconds += TruncatedPart(parts[i]) * multipliers[i];
    return seconds;
}

void TSegmentSelection::actDxTreeListOnClickExecute(const TJobRows &rows)
{
    for (int row = 0; row < rows.RowCount(); ++row) {
        if (!rows.IsRowSelected(row) ||
            rows.CellText(row, JobColumn::FileName) == m_player.PreviewFile())
            continue;
        m_player.StopPlay();
        TTimelineState &timeline = m_player.Timeline;
        timeline.TimelineDuration = ReadTimeText(rows.CellText(row, JobColumn::Duration));
        timeline.SeekOnStartMove = false;
        m_geometry.Place(ReadTimeText(rows.CellText(row, JobColumn::StartTime)),
                         ReadTimeText(rows.CellText(row, JobColumn::EndTime)),
                         timeline.TimelineDuration);
        timeline.SeekOnStartMove = true;
    }
}

void TSegmentSelection::Splitter1Moved(TJobRows &rows)
{
    const TTimelineState &timeline = m_player.Timeline;
    const int64_t percent = TTimelineGeometry::Percent(m_geometry.StartPosition());
    const int64_t start = TTimelineGeometry::SecondsAt(percent, timeline.TimelineDuration);
    for (int row = 0; row < rows.RowCount(); ++row) {
        if (!rows.IsRowSelected(row))
            continue;
        rows.SetCellText(row, JobColumn::StartTime, TTextFunc::FormatTime(start));
        const std::string name = rows.CellText(row, JobColumn::FileName);
        rows.SetCellText(row, JobColumn::CutTime, TTextFunc::FormatTime(CutLength(rows, name)));
        if (timeline.SeekOnStartMove) {
            try {
                TPreviewPlayer::SeekTo(m_player.FilterGraph(), start * 1000);
            } catch (const std::exception &) {
                // Nothing loaded: the preview has nowhere to go.
            }
        }
    }
}

void TSegmentSelection::Splitter2Moved(TJobRows &rows)
{
    TTimelineState &timeline = m_player.Timeline;
    const int64_t percent = TTimelineGeometry::Percent(m_geometry.EndPosition());
    const int64_t end = TTimelineGeometry::SecondsAt(percent, timeline.TimelineDuration);
    for (int row = 0; row < rows.RowCount(); ++row) {
        if (!rows.IsRowSelected(row))
            continue;
        const std::string endText = TTextFunc::FormatTime(end);
        rows.SetCellText(row, JobColumn::EndTime, endText);
        timeline.EndMarkText = endText;
        const std::string name = rows.CellText(row, JobColumn::FileName);
        rows.SetCellText(row, JobColumn::CutTime, TTextFunc::FormatTime(CutLength(rows, name)));
    }
}

int64_t TSegmentSelection::CutLength(const TJobRows &rows, const std::string &fileName)
{
    const std::string wanted = AsciiUpper(fileName);
    int64_t length = 0;
    for (int row = 0; row < rows.RowCount(); ++row) {
        if (AsciiUpper(rows.CellText(row, JobColumn::FileName)) != wanted)
            continue;
        length = ReadStrictTime(rows.CellText(row, JobColumn::EndTime)) -
                 ReadStrictTime(rows.CellText(row, JobColumn::StartTime));
    }
    return length;
}
