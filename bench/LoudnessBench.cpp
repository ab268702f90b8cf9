// Peak and mean level of evc's output at 100, 200 and 500 % volume, for a loud music source
// (a file given on the command line, or a generated one mastered to just under full scale).
// Prints the figures; not a test.
//   LoudnessBench <evc> [source]
#include "ProgramRun.h"
#include "TestFolder.h"
#include "TestMedia.h"

#include <cstdio>
#include <string>

namespace {

// "<peak dB> <mean dB>" of a file as ffmpeg's volumedetect sees it (mean = RMS of all channels).
bool Measure(const std::string &path, double *peakDb, double *meanDb)
{
    const tqtest::ProgramRun run =
        tqtest::RunProgram({"ffmpeg", "-nostdin", "-hide_banner", "-i", path, "-af", "volumedetect",
                            "-f", "null", "-"});
    if (run.exitCode != 0)
        return false;
    const std::string &output = run.output;
    const auto mean = output.find("mean_volume: ");
    const auto peak = output.find("max_volume: ");
    if (mean == std::string::npos || peak == std::string::npos)
        return false;
    return std::sscanf(output.c_str() + mean, "mean_volume: %lf", meanDb) == 1 &&
           std::sscanf(output.c_str() + peak, "max_volume: %lf", peakDb) == 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: LoudnessBench <evc> [source]\n");
        return 1;
    }
    const std::string evc = argv[1];
    tqtest::TestFolder folder;
    std::string source = argc > 2 ? argv[2] : folder.File("loud-music.wav");
    std::string error;
    if (argc <= 2 && !tqtest::MakeLoudMusicFile(source, 30.0, &error)) {
        std::fprintf(stderr, "cannot make the source: %s\n", error.c_str());
        return 1;
    }
    double peak = 0, mean = 0;
    if (!Measure(source, &peak, &mean))
        return 1;
    std::printf("source %s: peak %.2f dBFS, mean %.2f dBFS\n", source.c_str(), peak, mean);
    std::printf("%-6s %-5s %10s %10s %14s\n", "volume", "type", "peak dBFS", "mean dBFS",
                "mean vs 100 %");
    for (const char *type : {"wav", "mp3", "m4a", "aac", "ogg", "ac3", "amr"}) {
        double mean100 = 0;
        for (const char *volume : {"100", "200", "500"}) {
            const std::string output = folder.File(std::string("out") + volume + "." + type);
            const tqtest::ProgramRun run =
                tqtest::RunProgram({evc, "-y", "-i", source, "-ab", "128", "-vol", volume, output});
            if (run.exitCode != 0 || !Measure(output, &peak, &mean)) {
                std::fprintf(stderr, "%s%s", run.problem.c_str(), run.output.c_str());
                return 1;
            }
            if (std::string(volume) == "100")
                mean100 = mean;
            std::printf("%5s%% %-5s %10.2f %10.2f %+13.2f\n", volume, type, peak, mean,
                        mean - mean100);
        }
    }
    return 0;
}
