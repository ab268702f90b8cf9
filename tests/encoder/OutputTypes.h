#pragma once

#include <string>
#include <vector>

namespace evctest {

// The seven output types as the converter's catalogue names them.
struct OutputType
{
    std::string extension;
    std::string codecOption; // value of -acodec
    std::string codec;       // as libavcodec names it
    // Samples that the container cannot signal as encoder delay or padding, on top of one frame.
    int toleranceSamples;
};

inline const std::vector<OutputType> &OutputTypes()
{
    static const std::vector<OutputType> types = {
        {"amr", "amr_nb", "amr_nb", 160},     {"aac", "aac", "aac", 2048 + 1024},
        {"mp3", "mp3", "mp3", 1152},          {"ac3", "ac3", "ac3", 1536 + 256},
        {"m4a", "aac", "aac", 1024},          {"ogg", "vorbis", "vorbis", 1024},
        {"wav", "pcm_s16le", "pcm_s16le", 1},
    };
    return types;
}

// The command line that the converter builds for an output type (AMR: fixed mono 8000 Hz and
// the video options in front).
inline std::vector<std::string> CatalogueCommand(const std::string &input, const OutputType &type,
                                                 const std::string &kbps,
                                                 const std::string &channels,
                                                 const std::string &rate, const std::string &output)
{
    if (type.extension == "amr")
        return {"-y",  "-i", input,  "-acodec", "amr_nb", "-s", "176x144", "-b",   "128",
                "-ab", kbps, "-vol", "100",     "-ac",    "1",  "-ar",     "8000", output};
    return {"-y",  "-i",     input, "-acodec", type.codecOption,
            "-vn", "-ab",    kbps,  "-vol",    "100",
            "-ac", channels, "-ar", rate,      output};
}

} // namespace evctest
