// evc: the console encoder of Tonequill. Converts the best audio stream of one media file into
// an AMR, AAC, MP3, AC3, M4A, OGG or WAV file and reports its progress on standard output.

#include "EncoderError.h"
#include "EncoderOptions.h"
#include "ProgressReporter.h"
#include "Transcoder.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitFailed = 2;

std::string SummaryText(const evc::TranscodeSummary &summary)
{
    char text[160];
    std::snprintf(text, sizeof text, "evc: done, %.2f s of audio in %.1f kB", summary.seconds,
                  static_cast<double>(summary.bytes) / 1024.0);
    std::string line = text;
    if (summary.peaksHeldDb >= 0.05) {
        std::snprintf(text, sizeof text, ", peaks held by up to %.1f dB", summary.peaksHeldDb);
        line += text;
    }
    return line;
}

// A message on one line, so the reader of the console output sees all of it.
std::string OneLine(std::string text)
{
    for (char &c : text) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    // The libraries' own diagnostics would interleave with the progress lines; evc reports every
    // failure itself in one line.
    av_log_set_level(AV_LOG_QUIET);

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const evc::OptionParseResult parsed = evc::ParseEncoderOptions(arguments);
    if (!parsed.ok) {
        std::fprintf(stderr, "evc: %s\n", parsed.error.c_str());
        return kExitUsage;
    }
    if (parsed.help) {
        std::fputs(evc::HelpText().c_str(), stdout);
        return 0;
    }

    evc::ProgressReporter reporter(stdout);
    try {
        const evc::TranscodeSummary summary = evc::Transcode(parsed.options, reporter);
        reporter.Line(SummaryText(summary));
        return 0;
    } catch (const evc::EncoderError &error) {
        std::fflush(stdout);
        std::fprintf(stderr, "evc: error: %s\n", error.what());
    } catch (const std::bad_alloc &) {
        std::fflush(stdout);
        std::fprintf(stderr, "evc: error: out of memory\n");
    } catch (const std::exception &error) {
        std::fflush(stdout);
        std::fprintf(stderr, "evc: error: unexpected failure: %s\n", OneLine(error.what()).c_str());
    } catch (...) {
        std::fflush(stdout);
        std::fprintf(stderr, "evc: error: unexpected failure\n");
    }
    return kExitFailed;
}
