#pragma once

#include <cstdint>

// The pixel model of the timeline strip: inside a 260-px strip with a 1-px border lie, from left
// to right, the left image, the 20-px start marker, the middle image, the 20-px end marker and
// the right image. The three images share the track length of 218 px and each keeps at least
// 1 px, so the markers never cross.
class TTimelineGeometry
{
public:
    static constexpr int StripWidth = 260;
    static constexpr int StripHeight = 21;
    static constexpr int Border = 1;
    static constexpr int MarkerWidth = 20;
    static constexpr int TrackLength = StripWidth - 2 * Border - 2 * MarkerWidth; // 218

    enum class Image
    {
        Left,   // Panel2
        Middle, // Panel4
        Right   // Panel3
    };
    enum class Button
    {
        Left,
        Right,
        Middle
    };
    enum class Move
    {
        None,
        StartMarker,
        EndMarker
    };
    enum class Marker
    {
        Start,
        End
    };

    int LeftWidth() const { return m_left; }
    int MiddleWidth() const { return TrackLength - m_left - m_right; }
    int RightWidth() const { return m_right; }

    // s = left width - 1 (0 .. 215).
    int StartPosition() const { return m_left - 1; }
    // e = left width + middle width - 1 (1 .. 216).
    int EndPosition() const { return TrackLength - 1 - m_right; }

    int Position(Marker marker) const
    {
        return marker == Marker::Start ? StartPosition() : EndPosition();
    }
    // The second a marker move writes for the marker where it is now.
    int64_t SecondsOf(Marker marker, int64_t durationSeconds) const
    {
        return SecondsAt(Percent(Position(marker)), durationSeconds);
    }
    // Moves a marker towards `target` seconds to the nearest pixel whose second reaches it, so
    // that the move writes what a drag to that pixel writes. Where no pixel the marker can reach
    // gets there, it goes as far as it can if that changes its second. True when it moved.
    bool MoveToSeconds(Marker marker, int64_t target, int64_t durationSeconds);
    // Moves a marker to the first (`last` false) or last pixel it can reach. True when it moved.
    bool MoveToEnd(Marker marker, bool last);

    // Sets a width, clamped so that every image keeps at least 1 px.
    void SetLeftWidth(int width);
    void SetRightWidth(int width);

    // Places the markers at `start` and `end` seconds of `durationSeconds`. A new width is taken
    // only when it differs from the current one by more than 1 px (left) or 2 px (right);
    // a request for more than the strip holds is clamped, the start marker keeping priority.
    // A duration of 0 or less moves nothing.
    void Place(int64_t start, int64_t end, int64_t durationSeconds);

    // Moves a marker for a press on an image with a step of `step` px; returns which marker
    // moved, or None when the press does nothing.
    Move Nudge(Image image, Button button, int step);

    // The nudge step: 1 px with exactly Ctrl held, 10 px with exactly Shift, 5 px otherwise.
    // `otherKeysOrButtons` is true when any further key or mouse button is held.
    static int NudgeStep(bool ctrl, bool shift, bool otherKeysOrButtons);

    // (position × 121) div 260: pixels 0 .. 216 to 0 .. 100 %.
    static int64_t Percent(int position);
    // (percent × duration) div 100.
    static int64_t SecondsAt(int64_t percent, int64_t durationSeconds);
    // Nearest integer, halves to the even neighbour.
    static int64_t RoundHalfEven(double value);

private:
    // The pixels a marker can reach without making an image narrower than 1 px.
    int FirstPosition(Marker marker) const { return marker == Marker::Start ? 0 : m_left; }
    int LastPosition(Marker marker) const
    {
        return marker == Marker::Start ? TrackLength - 2 - m_right : TrackLength - 2;
    }
    bool SetPosition(Marker marker, int position);

    int m_left = 1;
    int m_right = 1;
};
