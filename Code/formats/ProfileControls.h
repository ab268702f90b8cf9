#pragma once

#include "formats/ChoiceList.h"
#include "formats/ControlSwitch.h"

#include <array>

// The Options dialog's lists: their selections are the current conversion values. All nine
// must be set.
struct TOptionLists
{
    TChoiceList *cbbVideoSize = nullptr;
    TChoiceList *cbbVideoBitrate = nullptr;
    TChoiceList *cbbFramerate = nullptr;
    TChoiceList *cbbAspectratio = nullptr;
    TChoiceList *cbbAudioBitrate = nullptr;
    TChoiceList *cbbAudioSample = nullptr;
    TChoiceList *cbbAudioVolumeGain = nullptr;
    TChoiceList *cbbAudioChannels = nullptr;
    TChoiceList *cbbCustomProfile = nullptr;

    // The six lists a profile value string sets, in field order: video size, frame rate,
    // video bitrate, audio bitrate, channels, sample rate.
    std::array<TChoiceList *, 6> ProfileFieldLists() const
    {
        return {cbbVideoSize,    cbbFramerate,     cbbVideoBitrate,
                cbbAudioBitrate, cbbAudioChannels, cbbAudioSample};
    }
};

// The main window's controls that profiles read and switch.
struct TMainProfileControls
{
    TChoiceList *cbbOutputFiletype = nullptr;
    TChoiceList *cbbProfile = nullptr;
    TControlSwitch *btnOptions = nullptr;
};
