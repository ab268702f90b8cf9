#pragma once

#include <cstdint>
#include <string>

// The values the preview and the timeline share for the whole run; never reset.
struct TTimelineState
{
    // Seconds of the job row last clicked, or last double-clicked and loaded: the timeline's scale.
    int64_t TimelineDuration = 0;
    // End Time text of the last end-marker move; playback pauses when the elapsed time equals it.
    std::string EndMarkText;
    // True once a placement has completed; start-marker moves then also move the preview.
    bool SeekOnStartMove = false;
};
