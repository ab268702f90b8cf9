#pragma once

#include "CatalogueChoices.h"

#include <map>
#include <string>
#include <vector>

namespace evctest {

// An output type of the program's catalogue, with what the tests expect of its files.
struct OutputType
{
    std::string extension;   // without the dot
    std::string codecOption; // value of -acodec
    std::string codec;       // as libavcodec names it
    // Samples that the container cannot signal as encoder delay or padding, on top of one frame.
    int toleranceSamples;
};

// The output types in the catalogue's order. A type the tests know nothing about yet gets a
// codec name that no file has, so its conversions fail until it is described here.
inline const std::vector<OutputType> &OutputTypes()
{
    struct Expected
    {
        std::string codec;
        int toleranceSamples;
    };
    static const std::map<std::string, Expected> expected = {
        {"amr", {"amr_nb", 160}},     {"aac", {"aac", 2048 + 1024}}, {"mp3", {"mp3", 1152}},
        {"ac3", {"ac3", 1536 + 256}}, {"m4a", {"aac", 1024}},        {"ogg", {"vorbis", 1024}},
        {"wav", {"pcm_s16le", 1}}};
    static const std::vector<OutputType> types = [] {
        std::vector<OutputType> list;
        for (int type = 0; type < kOutputTypeCount; ++type) {
            const std::string extension = TCatalogue::OutputExtension(type).substr(1);
            const auto known = expected.find(extension);
            const Expected facts = known != expected.end()
                                       ? known->second
                                       : Expected{"(no expectations for this type)", 0};
            list.push_back({extension, tqtest::CatalogueCodecOption(type), facts.codec,
                            facts.toleranceSamples});
        }
        return list;
    }();
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
