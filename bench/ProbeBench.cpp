// Times adding short media files to the job list (probe of each file plus its row) and, for
// comparison, running the ffprobe tool once per file. Prints the figures; not a test.
//   ProbeBench [file count]
#include "ProgramRun.h"
#include "TestFolder.h"
#include "TestMedia.h"
#include "joblist/JobListFunc.h"
#include "support/MessageBoxes.h"
#include "toolkit/JobGrid.h"

#include <QApplication>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
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
