// The default profile (200 % volume) on loud music: evc against the ffmpeg command line doing
// the same gain through its limiter, single thread. Prints per output type the median wall time
// of both over alternating runs and their ratio, whether evc encoded twice, and the decoded peak,
// the samples at full scale and the mean level of evc's output (and how far it lies above the
// same conversion at 100 %). Then evc at 100 % against ffmpeg without a filter, and whether
// -vol 100 gives the same bytes as no -vol. Not a test.
//   DefaultVolumeBench <evc> <source> [runs] [seconds]
#include "ProgramRun.h"
#include "TestFolder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

struct OutputType
{
    const char *extension;
    const char *evcCodec;
    const char *ffmpegEncoder;
};

const OutputType kTypes[] = {
    {"mp3", "mp3", "libmp3lame"},   {"aac", "aac", "aac"}, {"m4a", "aac", "aac"},
    {"ogg", "vorbis", "libvorbis"}, {"ac3", "ac3", "ac3"}, {"wav", "pcm_s16le", "pcm_s16le"},
};

struct Level
{
    double peakDb = -200;
    long long fullScale = 0; // samples that a 16-bit decode puts at full scale
    double meanDb = -200;    // RMS of all samples
};

// CPU seconds (user and system) of the finished child processes so far.
double ChildrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Timing
{
    double wall = 0;
    double cpu = 0; // all threads of the program
};

Timing Run(const std::vector<std::string> &arguments, std::string *output = nullptr)
{
    tqtest::ProgramOptions options;
    options.timeoutMs = 600000;
    const double cpuBefore = ChildrenCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const tqtest::ProgramRun run = tqtest::RunProgram(arguments, options);
    Timing timing;
    timing.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    timing.cpu = ChildrenCpuSeconds() - cpuBefore;
    if (run.exitCode != 0) {
        std::fprintf(stderr, "failed: %s\n%s%s\n", arguments[0].c_str(), run.problem.c_str(),
                     run.output.c_str());
        std::exit(1);
    }
    if (output)
        *output = run.output;
    return timing;
}

// The samples of a file as 32-bit floats, decoded by ffmpeg; empty when it cannot be read.
std::string Decoded(const std::string &path)
{
    tqtest::ProgramOptions options;
    options.mergeErrors = false;
    const tqtest::ProgramRun run =
        tqtest::RunProgram({"ffmpeg", "-nostdin", "-v", "error", "-i", path, "-f", "f32le",
                            "-acodec", "pcm_f32le", "-"},
                           options);
    return run.exitCode == 0 ? run.output : std::string();
}

Level Measure(const std::string &path)
{
    const std::string samples = Decoded(path);
    Level level;
    const size_t count = samples.size() / sizeof(float);
    double peak = 0, sum = 0;
    for (size_t i = 0; i < count; ++i) {
        float value;
        std::memcpy(&value, samples.data() + i * sizeof(float), sizeof value);
        const double magnitude = std::fabs(static_cast<double>(value));
        peak = std::max(peak, magnitude);
        sum += magnitude * magnitude;
        if (magnitude >= 32767.0 / 32768.0)
            ++level.fullScale;
    }
    level.peakDb = peak > 0 ? 20 * std::log10(peak) : -200;
    level.meanDb = sum > 0 ? 10 * std::log10(sum / static_cast<double>(count)) : -200;
    return level;
}

double Median(std::vector<Timing> timings, double Timing::*what)
{
    std::vector<double> values;
    for (const Timing &timing : timings)
        values.push_back(timing.*what);
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::vector<std::string> EvcArguments(const std::string &evc, const std::string &source,
                                      const OutputType &type, const char *volume,
                                      const std::string &output)
{
    std::vector<std::string> arguments = {evc,           "-y",  "-i",  source, "-acodec",
                                          type.evcCodec, "-vn", "-ab", "128"};
    if (volume) {
        arguments.push_back("-vol");
        arguments.push_back(volume);
    }
    for (const char *option : {"-ac", "2", "-ar", "44100"})
        arguments.push_back(option);
    arguments.push_back(output);
    return arguments;
}

std::vector<std::string> FfmpegArguments(const std::string &source, const OutputType &type,
                                         bool limited, const std::string &output)
{
    std::vector<std::string> arguments = {"ffmpeg", "-nostdin", "-v",   "error",
                                          "-y",     "-threads", "1",    "-filter_threads",
                                          "1",      "-i",       source, "-vn"};
    if (limited) {
        arguments.push_back("-af");
        arguments.push_back("volume=2,alimiter");
    }
    for (const char *option :
         {"-c:a", type.ffmpegEncoder, "-threads", "1", "-ac", "2", "-ar", "44100"})
        arguments.push_back(option);
    if (std::strcmp(type.extension, "wav") != 0) {
        arguments.push_back("-b:a");
        arguments.push_back("128k");
    }
    arguments.push_back(output);
    return arguments;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: DefaultVolumeBench <evc> <source> [runs] [seconds]\n");
        return 1;
    }
    const std::string evc = argv[1];
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
    const std::string seconds = argc > 4 ? argv[4] : "200";
    tqtest::TestFolder folder;
    // The recording looped to the length, as an MP3 at 320 kbit/s.
    const std::string source = folder.File("loud.mp3");
    Run({"ffmpeg", "-nostdin", "-v",   "error",      "-y",   "-stream_loop", "-1",
         "-i",     argv[2],    "-t",   seconds,      "-vn",  "-ac",          "2",
         "-ar",    "44100",    "-c:a", "libmp3lame", "-b:a", "320k",         source});
    const Level sourceLevel = Measure(source);
    std::printf("source: %s looped to %s s, MP3 320 kbit/s: peak %.2f dBFS, mean %.2f dBFS\n",
                argv[2], seconds.c_str(), sourceLevel.peakDb, sourceLevel.meanDb);
    std::printf("median of %d alternating runs: wall seconds, and the ratio of CPU seconds (all "
                "threads) in brackets\n",
                runs);
    std::printf("%-4s %8s %8s %12s %6s | %9s %10s %9s %9s | %8s %8s %12s %10s\n", "type", "evc 200",
                "ffmpeg", "ratio", "passes", "peak dBFS", "full scale", "mean dBFS", "vs 100 %",
                "evc 100", "ffmpeg", "ratio", "-vol 100");
    for (const OutputType &type : kTypes) {
        const std::string ext = type.extension;
        const std::string evc200 = folder.File("evc200." + ext);
        const std::string evc100 = folder.File("evc100." + ext);
        const std::string plain = folder.File("evc." + ext);
        const std::string ff = folder.File("ffmpeg." + ext);
        std::vector<Timing> evcLimited, ffLimited, evcPlain, ffPlain;
        int passes = 1;
        for (int run = 0; run < runs; ++run) {
            std::string output;
            evcLimited.push_back(Run(EvcArguments(evc, source, type, "200", evc200), &output));
            passes = 1;
            for (size_t at = 0; (at = output.find("encoding it again", at)) != std::string::npos;
                 ++at)
                ++passes;
            ffLimited.push_back(Run(FfmpegArguments(source, type, true, ff)));
            evcPlain.push_back(Run(EvcArguments(evc, source, type, "100", evc100)));
            ffPlain.push_back(Run(FfmpegArguments(source, type, false, ff)));
        }
        Run(EvcArguments(evc, source, type, nullptr, plain));
        // Ogg streams carry a random serial number, so their bytes differ from run to run.
        const char *same = tqtest::ReadWholeFile(plain) == tqtest::ReadWholeFile(evc100) ? "same"
                           : Decoded(plain) == Decoded(evc100) ? "same audio"
                                                               : "DIFFERS";
        const Level limited = Measure(evc200);
        const Level unchanged = Measure(evc100);
        double Timing::*const wall = &Timing::wall;
        double Timing::*const cpu = &Timing::cpu;
        std::printf("%-4s %8.2f %8.2f %5.2f (%4.2f) %6d | %9.2f %10lld %9.2f %+9.2f | %8.2f %8.2f "
                    "%5.2f (%4.2f) %10s\n",
                    type.extension, Median(evcLimited, wall), Median(ffLimited, wall),
                    Median(evcLimited, wall) / Median(ffLimited, wall),
                    Median(evcLimited, cpu) / Median(ffLimited, cpu), passes, limited.peakDb,
                    limited.fullScale, limited.meanDb, limited.meanDb - unchanged.meanDb,
                    Median(evcPlain, wall), Median(ffPlain, wall),
                    Median(evcPlain, wall) / Median(ffPlain, wall),
                    Median(evcPlain, cpu) / Median(ffPlain, cpu), same);
        std::fflush(stdout);
    }
    return 0;
}
