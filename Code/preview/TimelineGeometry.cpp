#include "preview/TimelineGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

void TTimelineGeometry::SetLeftWidth(int width)
{
    m_left = std::clamp(width, 1, TrackLength - 1 - m_right);
}

void TTimelineGeometry::SetRightWidth(int width)
{
    m_right = std::clamp(width, 1, TrackLength - 1 - m_left);
}

int64_t TTimelineGeometry::RoundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5)
        return int64_t(floor) + 1;
    if (fraction < 0.5)
        return int64_t(floor);
    return std::fmod(floor, 2.0) == 0.0 ? int64_t(floor) : int64_t(floor) + 1;
}

void TTimelineGeometry::Place(int64_t start, int64_t end, int64_t durationSeconds)
{
    if (durationSeconds <= 0)
        return;
    // The share of the duration first, then the pixels: start 25 of 100 s is exactly 54.5 px
    // and rounds to 54, where 25 × (218 ÷ 100) gives 54.50000000000001 and 55.
    const auto pixels = [durationSeconds](int64_t seconds) {
        return double(RoundHalfEven(double(seconds) / double(durationSeconds) * TrackLength));
    };
    // Requests far outside the strip are cut before they reach int.
    const auto request = [](double wanted) {
        return int(std::clamp<double>(wanted, -4 * TrackLength, 4 * TrackLength));
    };
    int left = m_left;
    int right = m_right;
    const int newLeft = request(pixels(start) + 1);
    if (std::abs(newLeft - left) > 1)
        left = newLeft;
    const int newRight = request(TrackLength - pixels(end) + 1);
    if (std::abs(newRight - right) > 2)
        right = newRight;

    m_left = std::clamp(left, 1, TrackLength - 2);
    m_right = std::clamp(right, 1, TrackLength - 1 - m_left);
}

TTimelineGeometry::Move TTimelineGeometry::Nudge(Image image, Button button, int step)
{
    if (button == Button::Middle)
        return Move::None;
    const bool left = button == Button::Left;
    if (image == Image::Left && !left) {
        if (m_left <= step)
            return Move::None;
        m_left -= step;
        return Move::StartMarker;
    }
    if (image == Image::Right && left) {
        if (m_right <= step)
            return Move::None;
        m_right -= step;
        return Move::EndMarker;
    }
    // The remaining presses take the step from the middle image.
    if (MiddleWidth() <= step)
        return Move::None;
    if (left && image != Image::Right) {
        m_left += step;
        return Move::StartMarker;
    }
    m_right += step;
    return Move::EndMarker;
}

int TTimelineGeometry::NudgeStep(bool ctrl, bool shift, bool otherKeysOrButtons)
{
    if (otherKeysOrButtons || ctrl == shift)
        return 5;
    return ctrl ? 1 : 10;
}

int64_t TTimelineGeometry::Percent(int position)
{
    return int64_t(position) * 121 / 260;
}

int64_t TTimelineGeometry::SecondsAt(int64_t percent, int64_t durationSeconds)
{
    return percent * durationSeconds / 100;
}

bool TTimelineGeometry::SetPosition(Marker marker, int position)
{
    if (position == Position(marker))
        return false;
    if (marker == Marker::Start)
        m_left = position + 1;
    else
        m_right = TrackLength - 1 - position;
    return true;
}

bool TTimelineGeometry::MoveToSeconds(Marker marker, int64_t target, int64_t durationSeconds)
{
    const int now = Position(marker);
    const int64_t current = SecondsOf(marker, durationSeconds);
    if (target == current)
        return false;
    const int step = target > current ? 1 : -1;
    const int stop = step > 0 ? LastPosition(marker) : FirstPosition(marker);
    const auto reaches = [&](int position) {
        const int64_t seconds = SecondsAt(Percent(position), durationSeconds);
        return step > 0 ? seconds >= target : seconds <= target;
    };
    for (int position = now + step; step > 0 ? position <= stop : position >= stop;
         position += step) {
        if (reaches(position))
            return SetPosition(marker, position);
    }
    // Short of the target (seconds grow with the position): as far as the strip allows, where
    // that changes the second.
    if (SecondsAt(Percent(stop), durationSeconds) != current)
        return SetPosition(marker, stop);
    return false;
}

bool TTimelineGeometry::MoveToEnd(Marker marker, bool last)
{
    return SetPosition(marker, last ? LastPosition(marker) : FirstPosition(marker));
}
