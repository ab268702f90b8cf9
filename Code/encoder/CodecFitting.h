#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace evc {

// The values an output is encoded with, after fitting the requested ones to the codec.
struct AudioSettings
{
    std::string codecName; // command-line name: amr_nb, aac, mp3, ac3, vorbis, pcm_s16le
    int sampleRate = 0;
    int channels = 0;
    int64_t bitRate = 0; // bit/s
    std::vector<std::string>
        notes; // one text per value that was moved, e.g. "22050 Hz -> 32000 Hz"
};

struct AudioRequest
{
    int sampleRate = 0; // 0: keep the source's rate
    int channels = 0;   // 0: keep the source's channel count
    double kbps = 0;    // 0: the codec's usual bitrate
    int sourceSampleRate = 44100;
    int sourceChannels = 2;
};

// Tells whether the codec opens with the given settings; used where no fixed table exists
// (Vorbis bitrate ranges depend on the rate and the channel count).
using SettingsProbe = std::function<bool(const AudioSettings &)>;

// Moves each requested value to the nearest one that the codec takes.
AudioSettings FitAudioSettings(const std::string &codecName, const AudioRequest &request,
                               const SettingsProbe &probe);

// Sample rates the codec takes, empty when it takes any.
std::vector<int> SupportedSampleRates(const std::string &codecName);
// Bitrates in kbit/s the codec takes at a sample rate, empty when it takes a range.
std::vector<double> SupportedBitratesKbps(const std::string &codecName, int sampleRate);
int MaxChannels(const std::string &codecName);

// The AMR-NB mode (0 = 4.75 kbit/s ... 7 = 12.2 kbit/s) of a bitrate in bit/s.
int AmrModeOfBitrate(int64_t bitRate);

} // namespace evc
