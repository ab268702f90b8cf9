#include "preview/PreviewEvents.h"

#include "preview/PreviewPlayer.h"
#include "preview/SegmentSelection.h"
#include "toolkit/JobRows.h"

TPreviewEvents::TPreviewEvents(TPreviewPlayer &player, TSegmentSelection &segments,
                               TTimelineGeometry &geometry)
    : m_player(player), m_segments(segments), m_geometry(geometry)
{
}

void TPreviewEvents::btnPlayClick(const TJobRows &rows)
{
    if (!m_player.PreviewFile().empty()) {
        if (!m_player.IsPlaying)
            m_player.ResumePlay();
        return;
    }
    for (int row = 0; row < rows.RowCount(); ++row) {
        if (rows.IsRowSelected(row))
            m_player.PlayFile(rows.CellText(row, JobColumn::FileName));
    }
}

void TPreviewEvents::btnPauseClick()
{
    if (!m_player.PreviewFile().empty() && m_player.IsPlaying)
        m_player.PausePlay();
}

void TPreviewEvents::RzBmpButton1Click()
{
    m_player.StopPlay();
}

void TPreviewEvents::dxTreeSourceFileInfoClick(const TJobRows &rows)
{
    m_segments.actDxTreeListOnClickExecute(rows);
}

void TPreviewEvents::dxTreeSourceFileInfoDblClick(const TJobRows &rows)
{
    for (int row = 0; row < rows.RowCount(); ++row) {
        if (!rows.IsRowSelected(row))
            continue;
        const std::string name = rows.CellText(row, JobColumn::FileName);
        if (name != m_player.PreviewFile()) {
            m_player.PlayFile(name);
            m_player.Timeline.TimelineDuration =
                TSegmentSelection::ReadTimeText(rows.CellText(row, JobColumn::Duration));
        } else {
            m_player.PausePlay();
        }
    }
}

void TPreviewEvents::Splitter1Moved(TJobRows &rows)
{
    m_segments.Splitter1Moved(rows);
}

void TPreviewEvents::Splitter2Moved(TJobRows &rows)
{
    m_segments.Splitter2Moved(rows);
}

TTimelineGeometry::Move TPreviewEvents::PanelMouseDown(TTimelineGeometry::Image image,
                                                       TTimelineGeometry::Button button, int step,
                                                       TJobRows &rows)
{
    const TTimelineGeometry::Move move = m_geometry.Nudge(image, button, step);
    if (move == TTimelineGeometry::Move::StartMarker)
        m_segments.Splitter1Moved(rows);
    else if (move == TTimelineGeometry::Move::EndMarker)
        m_segments.Splitter2Moved(rows);
    return move;
}
