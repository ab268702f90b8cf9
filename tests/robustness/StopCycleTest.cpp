// Conversions stopped at random moments (before the first output, in the middle, near the end)
// through the batch driver with the real evc, and evc killed from outside in the middle of a
// file. After every stop the batch ends, the main window is usable and no encoder is left.
// TQ_ROBUSTNESS_SCALE=n makes n times as many cycles.
#include "ConversionRig.h"
#include "TestFolder.h"
#include "TestMedia.h"
#include "TestText.h"
#include "conversion/AdvanceSystem.h"
#include "platform/CommandLine.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace fs = std::filesystem;

namespace {

constexpr int kSourceSeconds = 40;

// Seconds of output in an evc progress line, -1 when the line has none yet.
double OutputSeconds(const std::string &text)
{
    const size_t at = text.rfind("time=");
    if (at == std::string::npos || text.compare(at + 5, 11, "10000000000") == 0)
        return -1;
    return std::atof(text.c_str() + at + 5);
}

class StopCycles : public ::testing::Test, protected tqtest::ConversionRig
{
protected:
    static void SetUpTestSuite()
    {
        s_media = new tqtest::TestFolder;
        tqtest::ToneSpec spec;
        spec.seconds = kSourceSeconds;
        spec.channels = 1;
        std::string error;
        ASSERT_TRUE(tqtest::MakeToneFile(s_media->File("long.wav"), spec, &error)) << error;
    }
    static void TearDownTestSuite()
    {
        delete s_media;
        s_media = nullptr;
    }

    StopCycles()
    {
        fs::create_symlink(std::string(std::getenv("TQ_PROGRAM_DIR")) + "/evc",
                           program.File("evc"));
        for (int i = 0; i < 3; ++i) {
            const std::string source = work.File("row" + std::to_string(i) + ".wav");
            fs::create_hard_link(s_media->File("long.wav"), source);
            rows.Add(source, "00:00:00", "00:00:" + std::to_string(kSourceSeconds));
        }
        settings.outputFolder = work.File("out");
        timings.AfterOutputMs = 20;
        Connect(display, program.Path());
        mainWindow.showOutputDirectory = false;
    }

    int EncodersLeft() const
    {
        int left = 0;
        for (const platform::ProcessEntry &entry : table.Snapshot())
            left += entry.imageName == "evc" ? 1 : 0;
        return left;
    }
    int OutputFiles() const
    {
        std::error_code ignored;
        if (!fs::is_directory(settings.outputFolder, ignored))
            return 0;
        return static_cast<int>(
            std::distance(fs::directory_iterator(settings.outputFolder), fs::directory_iterator()));
    }

    static tqtest::TestFolder *s_media;
    tqtest::TestFolder work;
    tqtest::RecordingProgress display;
};

tqtest::TestFolder *StopCycles::s_media = nullptr;

TEST_F(StopCycles, StopAtRandomMomentsEndsTheBatchAndLeavesNoEncoder)
{
    enum Moment
    {
        BeforeStart,
        BeforeOutput,
        Middle,
        NearEnd
    };
    const char *const names[] = {"before start", "before output", "middle", "near end"};
    std::mt19937 random(20261209u);
    const int cycles = 8 * tqtest::RobustnessScale();
    int leftBehind = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        const Moment moment = static_cast<Moment>(cycle % 4);
        const int stopRow = std::uniform_int_distribution<int>(0, 1)(random);
        const double at =
            moment == Middle ? std::uniform_real_distribution<double>(0.2, 0.7)(random) : 0.9;
        bool stopped = false;
        int shows = 0;
        display.onShow = [&] {
            if (moment == BeforeStart && shows++ == stopRow && !stopped) {
                stopped = true;
                StopLikeTheStopButton();
            }
        };
        display.onOutput = [&](const std::string &text) {
            if (stopped || proc.RowIndex != stopRow)
                return;
            const double seconds = OutputSeconds(text);
            if (moment == BeforeOutput || (seconds >= at * kSourceSeconds)) {
                stopped = true;
                StopLikeTheStopButton();
            }
        };
        fs::remove_all(settings.outputFolder);
        proc.ConvertAll(rows);

        SCOPED_TRACE(std::string("cycle ") + std::to_string(cycle) + ", " + names[moment] +
                     " of row " + std::to_string(stopRow));
        EXPECT_TRUE(stopped) << "the batch ended before the stop moment came";
        EXPECT_TRUE(mainWindow.enabled);
        const int left = EncodersLeft();
        leftBehind += left;
        EXPECT_EQ(left, 0);
        // No row after the stopped one was started.
        EXPECT_LE(OutputFiles(), stopRow + 1);
        EXPECT_TRUE(opener.opened.empty());
        EXPECT_EQ(power.powerOffs, 0);
    }
    std::printf("stop cycles: %d, encoders left behind: %d\n", cycles, leftBehind);
}

TEST_F(StopCycles, EvcKilledFromOutsideMidFileEndsTheRunAndAFreshRunSucceeds)
{
    std::mt19937 random(7u);
    const int kills = 3 * tqtest::RobustnessScale();
    int leftBehind = 0;
    for (int kill = 0; kill < kills; ++kill) {
        const std::string output = work.File("killed" + std::to_string(kill) + ".mp3");
        const std::string line = program.File("evc") + " -y -i " +
                                 platform::QuoteArgument(rows.CellText(0, JobColumn::FileName)) +
                                 " -acodec mp3 -vn -ab 128 -ac 1 -ar 44100 " +
                                 platform::QuoteArgument(output);
        const double at = std::uniform_real_distribution<double>(0.1, 0.8)(random);
        bool killed = false;
        TAdvanceSystem runner(program.Path(), 0);
        ASSERT_TRUE(runner.RunConsoleProcess(line, [&](const std::string &text) {
            if (!killed && OutputSeconds(text) >= at * kSourceSeconds) {
                killed = true;
                for (const platform::ProcessEntry &entry : table.Snapshot())
                    table.Terminate(entry.id);
            }
        }));
        EXPECT_TRUE(killed);
        const int left = EncodersLeft();
        leftBehind += left;
        EXPECT_EQ(left, 0);

        // The same output again, from the start: evc replaces the partial file.
        TAdvanceSystem again(program.Path(), 0);
        ASSERT_TRUE(again.RunConsoleProcess(line, [](const std::string &) {}));
        EXPECT_EQ(again.ExitCode(), 0) << again.LastOutput();
        EXPECT_GT(fs::file_size(output), 0u);
    }
    std::printf("outside kills: %d, encoders left behind: %d\n", kills, leftBehind);
}

} // namespace
