// How long evc takes for a segment at the start and at the end of large MPEG program stream,
// MPEG transport stream and Ogg files, and where the late segment starts compared with a decode
// of the whole file. Prints the figures; not a test.
//   SegmentBench <evc> <folder for the generated files (kept for the next run)>
#include "ProgramRun.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 48000;

// Runs ffmpeg to make `path` unless it is there from an earlier run.
bool Make(const std::string &path, const std::vector<std::string> &arguments)
{
    if (std::filesystem::exists(path))
        return true;
    std::vector<std::string> command = {"ffmpeg", "-nostdin", "-loglevel", "fatal", "-y"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    command.push_back(path + ".part");
    tqtest::ProgramOptions options;
    options.timeoutMs = 3600 * 1000;
    const tqtest::ProgramRun run = tqtest::RunProgram(command, options);
    if (run.exitCode != 0) {
        std::fprintf(stderr, "cannot make %s: %s%s\n", path.c_str(), run.problem.c_str(),
                     run.output.substr(0, 2000).c_str());
        return false;
    }
    std::filesystem::rename(path + ".part", path);
    return true;
}

double Run(const std::vector<std::string> &arguments)
{
    tqtest::ProgramOptions options;
    options.timeoutMs = 3600 * 1000;
    const auto begin = std::chrono::steady_clock::now();
    const tqtest::ProgramRun run = tqtest::RunProgram(arguments, options);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    if (run.exitCode != 0) {
        std::fprintf(stderr, "%s%s\n", run.problem.c_str(), run.output.c_str());
        return -1;
    }
    return seconds;
}

// `count` samples of the first channel of evc's 16-bit WAV output from sample `first` on.
std::vector<float> ReadWav(const std::string &path, int64_t first, int64_t count)
{
    std::ifstream file(path, std::ios::binary);
    char header[12];
    file.read(header, 12);
    int channels = 1;
    while (file) {
        char id[4];
        uint32_t size = 0;
        file.read(id, 4);
        file.read(reinterpret_cast<char *>(&size), 4);
        if (std::string(id, 4) == "fmt ") {
            std::vector<char> format(size);
            file.read(format.data(), size);
            channels = static_cast<unsigned char>(format[2]);
            continue;
        }
        if (std::string(id, 4) != "data") {
            file.seekg(size + (size & 1), std::ios::cur);
            continue;
        }
        file.seekg(first * channels * 2, std::ios::cur);
        std::vector<int16_t> frames(static_cast<size_t>(count * channels));
        file.read(reinterpret_cast<char *>(frames.data()),
                  static_cast<std::streamsize>(frames.size() * 2));
        std::vector<float> samples;
        for (size_t i = 0; i + channels <= static_cast<size_t>(file.gcount() / 2); i += channels)
            samples.push_back(frames[i] / 32768.0f);
        return samples;
    }
    return {};
}

// Where `part` (from its second 0.1 s on) best matches `whole`, which starts at `wholeFirst`,
// and the mean difference there.
std::pair<int64_t, double> Place(const std::vector<float> &whole, int64_t wholeFirst,
                                 const std::vector<float> &part)
{
    const size_t skip = kRate / 10, stretch = 1024;
    std::pair<int64_t, double> best{-1, 1e30};
    for (size_t at = 0; at + skip + stretch <= whole.size(); ++at) {
        double difference = 0;
        for (size_t i = skip; i < skip + stretch && i < part.size(); ++i)
            difference += std::fabs(part[i] - whole[at + i]);
        if (difference < best.second)
            best = {wholeFirst + static_cast<int64_t>(at), difference / stretch};
    }
    return best;
}

std::string Clock(int seconds)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: SegmentBench <evc> <media folder>\n");
        return 1;
    }
    const std::string evc = argv[1];
    const std::string folder = argv[2];
    std::filesystem::create_directories(folder);
    auto in = [&](const std::string &name) { return folder + "/" + name; };

    // A DVD-like title of about 1 GB: a 9.6 s MPEG-2 picture at about 7 Mbit/s repeated 120
    // times, with 1152 s of MP2 noise made in one piece (so that its timestamps have no gaps),
    // as a program stream; the same as a transport stream; and 4200 s of Vorbis noise at its
    // highest quality in Ogg, about 200 MB.
    const int clips = 120, mpegSeconds = clips * 96 / 10, oggSeconds = 4200;
    const std::string noise = "anoisesrc=c=pink:a=0.3:r=48000:seed=5:d=";
    const std::string list = in("clips.txt");
    {
        std::ofstream text(list);
        for (int i = 0; i < clips; ++i)
            text << "file 'picture.vob'\n";
    }
    if (!Make(in("picture.vob"), {"-f", "lavfi", "-i", "testsrc2=size=720x576:rate=25:duration=9.6",
                                  "-vf", "noise=alls=40:allf=t", "-c:v", "mpeg2video", "-b:v", "7M",
                                  "-maxrate", "8M", "-bufsize", "1835k", "-f", "vob"}) ||
        !Make(in("sound.mp2"), {"-f", "lavfi", "-i", noise + std::to_string(mpegSeconds), "-ac",
                                "2", "-c:a", "mp2", "-b:a", "384k", "-f", "mp2"}) ||
        !Make(in("title.vob"), {"-f", "concat", "-safe", "0", "-i", list, "-i", in("sound.mp2"),
                                "-map", "0:v", "-map", "1:a", "-c", "copy", "-f", "vob"}) ||
        !Make(in("title.ts"), {"-i", in("title.vob"), "-map", "0", "-c", "copy", "-f", "mpegts"}) ||
        !Make(in("long.ogg"), {"-f", "lavfi", "-i", noise + std::to_string(oggSeconds), "-ac", "2",
                               "-c:a", "libvorbis", "-q:a", "10", "-f", "ogg"}))
        return 1;

    struct Source
    {
        std::string name;
        int seconds;
    };
    const std::vector<Source> sources = {
        {"title.vob", mpegSeconds}, {"title.ts", mpegSeconds}, {"long.ogg", oggSeconds}};
    std::printf("%-10s %9s %12s %12s %8s %12s %14s %12s\n", "file", "MB", "first 60 s", "last 60 s",
                "ratio", "whole file", "late start", "mean diff");
    for (const Source &source : sources) {
        const std::string path = in(source.name);
        const double megabytes = double(std::filesystem::file_size(path)) / 1e6;
        const int lateStart = source.seconds - 61;
        const double first =
            Run({evc, "-y", "-i", path, "-ss", "00:00:00", "-t", "60", in("first.wav")});
        const double last =
            Run({evc, "-y", "-i", path, "-ss", Clock(lateStart), "-t", "60", in("last.wav")});
        // The clocks of the whole decode and of the segments line up through a segment near the
        // start, which is decoded from the beginning.
        const double early =
            Run({evc, "-y", "-i", path, "-ss", "00:00:02", "-t", "10", in("early.wav")});
        const double whole = Run({evc, "-y", "-i", path, in("whole.wav")});
        if (first < 0 || last < 0 || early < 0 || whole < 0)
            return 1;
        const auto earlyAt =
            Place(ReadWav(in("whole.wav"), 0, 4 * kRate), 0, ReadWav(in("early.wav"), 0, kRate));
        const int64_t expected = earlyAt.first + int64_t(lateStart - 2) * kRate;
        const auto lateAt = Place(ReadWav(in("whole.wav"), expected - kRate, 3 * kRate),
                                  expected - kRate, ReadWav(in("last.wav"), 0, kRate));
        std::printf("%-10s %9.1f %10.2f s %10.2f s %8.2f %10.2f s %+10lld smp %12.6f\n",
                    source.name.c_str(), megabytes, first, last, last / first, whole,
                    static_cast<long long>(lateAt.first - expected), lateAt.second);
        std::fflush(stdout);
    }
    std::printf("late start: samples between the late segment's start and the same time in the "
                "whole decode; mean diff: mean |difference| there (full scale 1)\n");
    return 0;
}
