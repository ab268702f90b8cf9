#pragma once

#include <cstdint>
#include <string>

class TJobRows;
class TPreviewPlayer;
class TTimelineGeometry;

// Choosing each job's segment with the two timeline markers: a click on the job list places
// the markers at the clicked row's Start and End Time, and a marker move writes the new time
// and the Cut Time into every selected row, scaled by the timeline's duration.
class TSegmentSelection
{
public:
    TSegmentSelection(TPreviewPlayer &player, TTimelineGeometry &geometry);

    // A click on the job list: for every selected row other than the loaded one, stop the
    // preview and place the markers at the row's segment.
    void actDxTreeListOnClickExecute(const TJobRows &rows);
    // After the start marker moved: Start Time and Cut Time of the selected rows; once a
    // placement has run, the preview moves to the new start.
    void Splitter1Moved(TJobRows &rows);
    // After the end marker moved: End Time and Cut Time of the selected rows, and the time at
    // which the preview pauses.
    void Splitter2Moved(TJobRows &rows);

    // End Time minus Start Time of the last row whose File Name equals `fileName` when both are
    // upper-cased; a time that is not three whole numbers counts as 0.
    static int64_t CutLength(const TJobRows &rows, const std::string &fileName);
    // hh:mm:ss to seconds, each part read leniently and truncated.
    static int64_t ReadTimeText(const std::string &text);

private:
    TPreviewPlayer &m_player;
    TTimelineGeometry &m_geometry;
};
