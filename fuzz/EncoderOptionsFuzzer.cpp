// evc's command line of any arguments: the parser answers without failing; an accepted line
// gives values inside the ranges the encoder works with; a refused line gives one message that
// ends with the usage and has no line break unless an argument brought one.
#include "FuzzCheck.h"
#include "encoder/EncoderOptions.h"

#include <cmath>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

const char *const kWords[] = {"-y",  "-i", "-acodec", "-vn",  "-ab", "-vol", "-ac",    "-ar",
                              "-s",  "-b", "-ss",     "-t",   "mp3", "aac",  "amr_nb", "128k",
                              "100", "2",  "44100",   "1:30", "0",   "-1"};

void CheckAccepted(const evc::EncoderOptions &options)
{
    FUZZ_CHECK(!options.inputPath.empty() && !options.outputPath.empty());
    if (options.audioKbps)
        FUZZ_CHECK(std::isfinite(*options.audioKbps) && *options.audioKbps > 0);
    if (options.channels)
        FUZZ_CHECK(*options.channels >= 1 && *options.channels <= 8);
    if (options.sampleRate)
        FUZZ_CHECK(*options.sampleRate >= 1000 && *options.sampleRate <= 384000);
    if (options.volumePercent)
        FUZZ_CHECK(*options.volumePercent >= 0);
    if (options.startSeconds)
        FUZZ_CHECK(std::isfinite(*options.startSeconds) && *options.startSeconds >= 0);
    if (options.lengthSeconds)
        FUZZ_CHECK(std::isfinite(*options.lengthSeconds) && *options.lengthSeconds > 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    std::vector<std::string> arguments;
    bool lineBreak = false;
    while (input.remaining_bytes() > 0 && arguments.size() < 24) {
        if (input.ConsumeBool()) {
            arguments.push_back(input.PickValueInArray(kWords));
        } else {
            arguments.push_back(input.ConsumeRandomLengthString(24));
            lineBreak = lineBreak || arguments.back().find_first_of("\r\n") != std::string::npos;
        }
    }
    const evc::OptionParseResult result = evc::ParseEncoderOptions(arguments);
    if (result.ok) {
        FUZZ_CHECK(result.error.empty());
        // A request for help needs no files; every other accepted line names both.
        if (!result.help)
            CheckAccepted(result.options);
    } else {
        const std::string usage = evc::UsageText();
        FUZZ_CHECK(result.error.size() > usage.size() &&
                   result.error.compare(result.error.size() - usage.size(), usage.size(), usage) ==
                       0);
        if (!lineBreak)
            FUZZ_CHECK(result.error.find_first_of("\r\n") == std::string::npos);
    }

    for (const std::string &argument : arguments) {
        double seconds = -1;
        if (evc::ParseTimeText(argument, &seconds))
            FUZZ_CHECK(std::isfinite(seconds) && seconds >= 0);
    }
    return 0;
}
