#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace evctest {

// What an output file holds, read back with libavformat and libavcodec.
struct AudioFacts
{
    bool ok = false;
    std::string error;
    std::string container;
    std::string codec;
    int sampleRate = 0;
    int channels = 0;
    int64_t samples = 0;           // decoded samples per channel
    double peak = 0;               // of the first channel, full scale = 1
    double peakAllChannels = 0;    // of every channel, full scale = 1
    double rms = 0;                // of the first channel, middle 80 % of the file
    double frequency = 0;          // from the zero crossings of the middle 80 %
    double firstSoundSeconds = -1; // first sample above 0.05
    int64_t signFlips = 0;         // neighbouring samples jumping from near +1 to near -1 or back
    bool hasCover = false;
    std::map<std::string, std::string> tags;
    std::vector<float> firstChannel; // the decoded samples of the first channel

    double Seconds() const { return sampleRate ? double(samples) / sampleRate : 0; }
};

AudioFacts InspectAudio(const std::string &path);

} // namespace evctest

namespace evctest {

// Rewrites a raw .amr file (AMR-NB or AMR-WB, one speech frame per packet) into a 3GP or 3G2
// container (by the extension of `containerPath`) whose samples each hold `framesPerSample`
// frames, as phones write them. Returns false when a step fails.
bool GroupAmrFrames(const std::string &amrPath, const std::string &containerPath,
                    int framesPerSample);

// Copies a media file packet by packet into a new file of the same type, overwriting the payload
// of `share` (0 to 1, spread evenly) of its packets with noise, as encryption or damage in transit
// leaves them. Returns false when a step fails.
bool ScramblePackets(const std::string &path, const std::string &scrambledPath, double share);

} // namespace evctest
