#pragma once

// Where a source file's playback time begins: the time that a player shows as position 0, which
// the timeline, the job list's lengths and evc's segments all count from. It is the container's
// start, the earliest timestamp of any of its streams, so that audio starting after the video
// starts after 0 as well.

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstdint>

namespace playbackclock {

// The start of playback in AV_TIME_BASE units on the demuxer's timestamps; 0 when the file
// gives no times at all.
inline int64_t PlaybackOriginMicroseconds(const AVFormatContext &input)
{
    return input.start_time == AV_NOPTS_VALUE ? 0 : input.start_time;
}

} // namespace playbackclock
