#pragma once

#include "preview/TimelineGeometry.h"

class TJobRows;
class TPreviewPlayer;
class TSegmentSelection;

// What the preview pane's controls and the job list's clicks do: the play, pause and stop
// buttons, clicks and double-clicks on job rows, and presses on the timeline images.
class TPreviewEvents
{
public:
    TPreviewEvents(TPreviewPlayer &player, TSegmentSelection &segments,
                   TTimelineGeometry &geometry);

    void btnPlayClick(const TJobRows &rows);
    void btnPauseClick();
    void RzBmpButton1Click();
    void dxTreeSourceFileInfoClick(const TJobRows &rows);
    void dxTreeSourceFileInfoDblClick(const TJobRows &rows);
    void Splitter1Moved(TJobRows &rows);
    void Splitter2Moved(TJobRows &rows);
    // A press on Panel2, Panel4 or Panel3: the nudge, then the marker move it caused.
    // Returns the marker that moved (None when the press did nothing).
    TTimelineGeometry::Move PanelMouseDown(TTimelineGeometry::Image image,
                                           TTimelineGeometry::Button button, int step,
                                           TJobRows &rows);

private:
    TPreviewPlayer &m_player;
    TSegmentSelection &m_segments;
    TTimelineGeometry &m_geometry;
};
