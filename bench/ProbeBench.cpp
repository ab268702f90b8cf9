// Times the job list's duration probe. Prints the figures; not a test.
//   ProbeBench [file count]    adding short media files to the job list (probe of each file plus
//                              its row) and, for comparison, running ffprobe once per file
//   ProbeBench --sizes [copies] real-size files, `copies` of each kind (default 30): per kind the
//                              median milliseconds and the bytes read per file, and the row
//   ProbeBench --songs [count]  a folder of `count` songs of 200 s (MP3, M4A, Ogg; default 3000):
//                              time and bytes read per file, and for the whole folder
//   ProbeBench --folder DIR... every file of the folders: time, bytes read and row per file
#include "ProgramRun.h"
#include "TestFolder.h"
#include "TestMedia.h"
#include "joblist/JobListFunc.h"
#include "preview/AvProbeEngine.h"
#include "support/MessageBoxes.h"
#include "toolkit/JobGrid.h"

#include <QApplication>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

class TCountingPresenter : public IMessagePresenter
{
public:
    int Present(const TMessageBoxRequest &) override
    {
        ++boxes;
        return IdOk;
    }
    int boxes = 0;
};

double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// A few distinct files per source type (0.5 .. 2 s), copied under new names up to `count`:
// the probe reads each name afresh, and generating every copy with ffmpeg would dominate the run.
std::vector<std::string> MakeFiles(const tqtest::TestFolder &folder, int count)
{
    const std::vector<std::string> &types = tqtest::SourceExtensions();
    const double lengths[] = {0.5, 1.0, 1.5, 2.0};
    std::vector<std::string> originals;
    for (size_t i = 0; i < types.size() * 2; ++i) {
        tqtest::ToneSpec spec;
        spec.seconds = lengths[i % 4];
        spec.withVideo = (i / types.size()) == 1;
        const std::string path =
            folder.File("tone" + std::to_string(i) + "." + types[i % types.size()]);
        std::string error;
        if (tqtest::MakeToneFile(path, spec, &error))
            originals.push_back(path);
        else
            std::fprintf(stderr, "skipped %s: %s\n", path.c_str(), error.c_str());
    }
    std::vector<std::string> names;
    for (int i = 0; i < count && !originals.empty(); ++i) {
        const std::string &source = originals[size_t(i) % originals.size()];
        if (i < int(originals.size())) {
            names.push_back(source);
            continue;
        }
        const std::string copy =
            folder.File("copy" + std::to_string(i) + "_" + source.substr(folder.Path().size()));
        QFile::copy(QString::fromStdString(source), QString::fromStdString(copy));
        names.push_back(copy);
    }
    return names;
}

// Bytes this process has read through system calls so far (page cache included).
int64_t BytesReadSoFar()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value) {
        if (key == "rchar:")
            return value;
    }
    return 0;
}

struct Probed
{
    double ms = 0;
    int64_t bytes = 0;
    int64_t rowSeconds = 0;
};

Probed ProbeOne(const std::string &path)
{
    TAvProbeEngine engine;
    const int64_t before = BytesReadSoFar();
    const auto start = std::chrono::steady_clock::now();
    Probed probed;
    probed.rowSeconds = TJobListFunc::GetMediaDuration(path, engine);
    probed.ms = MillisecondsSince(start);
    probed.bytes = BytesReadSoFar() - before;
    return probed;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Kind
{
    const char *label;
    const char *name;
    std::vector<std::string> options; // ffmpeg options between the inputs and the output
};

// Music-like sound (pink noise under a tone), so that VBR encoders spend real bitrates.
std::vector<std::string> SoundInputs(int seconds)
{
    const std::string length = std::to_string(seconds);
    return {"-f", "lavfi", "-i", "anoisesrc=a=0.1:c=pink:r=44100:d=" + length,
            "-f", "lavfi", "-i", "sine=f=440:r=44100:d=" + length};
}

bool MakeKind(const Kind &kind, const std::string &path)
{
    const bool video = std::strcmp(kind.name, "video.mp4") == 0;
    std::vector<std::string> command;
    if (video)
        command = {"-f", "lavfi", "-i", "testsrc2=s=640x360:r=25:d=60,noise=alls=30:allf=t"};
    for (const std::string &each : SoundInputs(video ? 60 : 250))
        command.push_back(each);
    const std::string sound = video ? "[1][2]" : "[0][1]";
    command.insert(command.end(),
                   {"-filter_complex", sound + "amix=inputs=2,aformat=channel_layouts=stereo[a]",
                    "-map", "[a]"});
    if (video)
        command.insert(command.end(), {"-map", "0:v"});
    command.insert(command.end(), kind.options.begin(), kind.options.end());
    command.push_back(path);
    std::string error;
    if (!tqtest::RunFfmpeg(command, &error))
        std::fprintf(stderr, "cannot make %s: %s\n", path.c_str(), error.c_str());
    return std::filesystem::exists(path);
}

// `count` names for one file: hard links, so a folder of thousands of songs costs no disk.
std::vector<std::string> Copies(const tqtest::TestFolder &folder, const std::string &original,
                                int count)
{
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        const std::string name = folder.File(std::to_string(i) + "-" +
                                             std::filesystem::path(original).filename().string());
        std::error_code error;
        std::filesystem::create_hard_link(original, name, error);
        if (!error)
            names.push_back(name);
    }
    return names;
}

const std::vector<Kind> &RealSizeKinds()
{
    static const std::vector<Kind> kinds = {
        {"4 MB CBR MP3", "cbr.mp3", {"-t", "250", "-c:a", "libmp3lame", "-b:a", "128k"}},
        {"4.4 MB VBR MP3", "vbr.mp3", {"-t", "230", "-c:a", "libmp3lame", "-q:a", "0"}},
        {"3.9 MB M4A", "song.m4a", {"-t", "244", "-c:a", "aac", "-b:a", "128k"}},
        {"200 s Ogg Vorbis", "song.ogg", {"-t", "200", "-c:a", "libvorbis", "-q:a", "4"}},
        {"10 MB MP3", "big.mp3", {"-t", "250", "-c:a", "libmp3lame", "-b:a", "320k"}},
        {"23 MB MP4 video, AAC",
         "video.mp4",
         {"-t", "60", "-c:v", "mpeg4", "-b:v", "3000k", "-c:a", "aac", "-b:a", "128k"}},
    };
    return kinds;
}

int BenchSizes(int copies)
{
    tqtest::TestFolder folder;
    std::printf("%-22s %9s %12s %8s %6s\n", "kind", "size MB", "median ms", "KB read", "row s");
    for (const Kind &kind : RealSizeKinds()) {
        const std::string original = folder.File(kind.name);
        if (!MakeKind(kind, original))
            continue;
        std::vector<double> times;
        int64_t bytes = 0;
        int64_t row = 0;
        for (const std::string &name : Copies(folder, original, copies)) {
            const Probed probed = ProbeOne(name);
            times.push_back(probed.ms);
            bytes += probed.bytes;
            row = probed.rowSeconds;
        }
        std::printf(
            "%-22s %9.1f %12.2f %8lld %6lld\n", kind.label,
            double(std::filesystem::file_size(original)) / 1e6, Median(times),
            static_cast<long long>(bytes / std::max<int64_t>(1, int64_t(times.size())) / 1024),
            static_cast<long long>(row));
    }
    return 0;
}

int BenchSongs(int count)
{
    tqtest::TestFolder folder;
    std::vector<std::string> originals;
    for (const Kind &kind : RealSizeKinds()) {
        const std::string name = kind.name;
        if ((name == "vbr.mp3" || name == "song.m4a" || name == "song.ogg") &&
            MakeKind({kind.label, kind.name, kind.options}, folder.File(kind.name)))
            originals.push_back(folder.File(kind.name));
    }
    std::vector<std::string> songs;
    for (const std::string &original : originals) {
        for (const std::string &copy :
             Copies(folder, original, count / int(std::max<size_t>(1, originals.size()))))
            songs.push_back(copy);
    }
    std::vector<double> times;
    int64_t bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const std::string &song : songs) {
        const Probed probed = ProbeOne(song);
        times.push_back(probed.ms);
        bytes += probed.bytes;
    }
    const double total = MillisecondsSince(start);
    std::printf("%zu songs of 200-250 s (MP3, M4A, Ogg): %.0f ms, %.1f MB read in all\n",
                songs.size(), total, double(bytes) / 1e6);
    std::printf("per song: median %.2f ms, %.0f KB read\n", Median(times),
                songs.empty() ? 0.0 : double(bytes) / double(songs.size()) / 1024);
    return 0;
}

int BenchFolders(const std::vector<std::string> &folders)
{
    double totalMs = 0;
    int64_t totalBytes = 0;
    int files = 0;
    for (const std::string &folder : folders) {
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(folder)) {
            if (entry.is_regular_file())
                names.push_back(entry.path().string());
        }
        std::sort(names.begin(), names.end());
        for (const std::string &name : names) {
            const Probed probed = ProbeOne(name);
            std::printf("%9.2f ms %8lld KB %6lld s  %s\n", probed.ms,
                        static_cast<long long>(probed.bytes / 1024),
                        static_cast<long long>(probed.rowSeconds), name.c_str());
            totalMs += probed.ms;
            totalBytes += probed.bytes;
            ++files;
        }
    }
    std::printf("%d files: %.0f ms, %.1f MB read\n", files, totalMs, double(totalBytes) / 1e6);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--sizes")
        return BenchSizes(argc > 2 ? std::atoi(argv[2]) : 30);
    if (mode == "--songs")
        return BenchSongs(argc > 2 ? std::atoi(argv[2]) : 3000);
    if (mode == "--folder")
        return BenchFolders(std::vector<std::string>(argv + 2, argv + argc));
    const int count = argc > 1 ? std::atoi(argv[1]) : 200;

    tqtest::TestFolder folder;
    const std::vector<std::string> names = MakeFiles(folder, count);

    TCountingPresenter presenter;
    TMessageBoxes boxes(presenter);
    TJobListFunc func(boxes);
    TJobGrid grid;

    const auto start = std::chrono::steady_clock::now();
    func.AddFilesToList(grid, names);
    const double total = MillisecondsSince(start);

    std::printf("files: %zu (rows %d, reading warnings %d)\n", names.size(), grid.RowCount(),
                presenter.boxes);
    std::printf("AddFilesToList total: %.1f ms\n", total);
    std::printf("AddFilesToList per file: %.3f ms (target < 5 ms)\n",
                names.empty() ? 0.0 : total / double(names.size()));

    const size_t probed = std::min<size_t>(20, names.size());
    const auto probeStart = std::chrono::steady_clock::now();
    for (size_t i = 0; i < probed; ++i) {
        tqtest::RunProgram({"ffprobe", "-v", "quiet", "-show_entries", "format=duration", "-of",
                            "csv=p=0", names[i]});
    }
    const double probeTotal = MillisecondsSince(probeStart);
    std::printf("ffprobe once per file, %zu files: %.1f ms total, %.1f ms per file\n", probed,
                probeTotal, probed ? probeTotal / double(probed) : 0.0);
    return 0;
}
