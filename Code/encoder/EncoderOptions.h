#pragma once

#include <optional>
#include <string>
#include <vector>

namespace evc {

// The values of one evc command line. Absent options stay empty and get the encoder's defaults.
struct EncoderOptions
{
    bool overwrite = false;              // -y
    std::string inputPath;               // -i
    std::string codecName;               // -acodec: amr_nb, aac, mp3, ac3, vorbis, pcm_s16le
    bool noVideo = false;                // -vn (the output never holds video anyway)
    std::optional<double> audioKbps;     // -ab
    std::optional<int> volumePercent;    // -vol, 100 leaves the level unchanged
    std::optional<int> channels;         // -ac
    std::optional<int> sampleRate;       // -ar
    std::string videoSize;               // -s WxH, accepted and checked, no effect on audio output
    std::optional<int> videoKbps;        // -b, accepted and checked, no effect on audio output
    std::optional<double> startSeconds;  // -ss
    std::optional<double> lengthSeconds; // -t
    std::string outputPath;              // the last argument
};

struct OptionParseResult
{
    bool ok = false;
    bool help = false; // --help or -h was given: print HelpText() and nothing else
    EncoderOptions options;
    std::string error; // one line naming the faulty argument, followed by the usage
};

// Parses the arguments after the program name. Never exits and never prints. A request for help
// anywhere on the command line wins over everything else.
OptionParseResult ParseEncoderOptions(const std::vector<std::string> &arguments);

// "usage: evc [-y] -i ..." without a line break.
std::string UsageText();

// The short usage followed by one line or two for every option, for `evc --help`.
std::string HelpText();

// Reads "hh:mm:ss", "mm:ss" or plain seconds, each with an optional fraction. False when the
// text is not such a time.
bool ParseTimeText(const std::string &text, double *seconds);

} // namespace evc
