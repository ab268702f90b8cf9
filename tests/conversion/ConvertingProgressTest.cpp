#include "conversion/ConvertingProgress.h"

#include "EvcRunner.h"
#include "TestFolder.h"
#include "TestMedia.h"
#include "conversion/ConversionState.h"
#include "conversion/ConvertParameterStruct.h"
#include "platform/ConsoleProcess.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>

namespace {

class Progress : public ::testing::Test
{
protected:
    Progress() : progress(state, parameters)
    {
        parameters.SourceFile = "/v/clip.avi";
        state.RowCount = 3;
        state.RowIndex = 1;
        state.LengthText = "90";
        progress.FormShow();
    }
    TConversionState state;
    TConvertParameterStruct parameters;
    TConvertingProgress progress;
};

} // namespace

TEST_F(Progress, FormShowResetsEverything)
{
    EXPECT_EQ(progress.PersentText, "Current: 1, Total: 3");
    EXPECT_EQ(progress.CurFileNameText, "/v/clip.avi");
    EXPECT_EQ(progress.Total.Maximum, 1);
    EXPECT_EQ(progress.Current.Position, 0);
    EXPECT_EQ(progress.AnimationCounter, 0);
    for (bool visible : progress.FrameVisible)
        EXPECT_FALSE(visible);
}

TEST_F(Progress, TwelveOfNinetyAtRowOneOfThreeGives113Of300)
{
    progress.ShowEncoderOutput("first piece");
    EXPECT_EQ(progress.StatusText, "first piece");
    EXPECT_EQ(progress.PersentText, "Current: 1, Total: 3"); // the first piece moves nothing
    EXPECT_EQ(progress.Current.Maximum, 1);

    progress.ShowEncoderOutput("a=1 b=12.75 c=3");
    EXPECT_EQ(progress.Current.Maximum, 90);
    EXPECT_EQ(progress.Current.Position, 12);
    EXPECT_EQ(progress.PersentText, "Current: 2 , Total: 3.");

    progress.ShowEncoderOutput("no time here");
    EXPECT_EQ(progress.Total.Maximum, 300);
    EXPECT_EQ(progress.Total.Position, 113);
    EXPECT_EQ(progress.Current.Position, 12);
    EXPECT_EQ(state.RefreshCount, 3);
}

TEST_F(Progress, ReadsTheEncoderProgressLine)
{
    progress.ShowEncoderOutput("banner");
    progress.ShowEncoderOutput("size=     123kB time=10000000000.00 bitrate= 128.0kbits/s");
    EXPECT_EQ(progress.Current.Position, 0);
    progress.ShowEncoderOutput("size=     123kB time=42.50 bitrate= 128.0kbits/s");
    EXPECT_EQ(progress.Current.Position, 42);
    progress.ShowEncoderOutput("a=b=42 bitrate=x");
    EXPECT_EQ(progress.Current.Position, 42);
    progress.ShowEncoderOutput("a=b=7 bitrate=x");
    EXPECT_EQ(progress.Current.Position, 7);
    progress.ShowEncoderOutput("size= 1kB time=500.00 bitrate= 1.0kbits/s");
    EXPECT_EQ(progress.Current.Position, 90); // held within the bar
}

TEST_F(Progress, ASegmentOfNoLengthLeavesTheBatchBarAndLabelAlone)
{
    state.LengthText = "0";
    progress.ShowEncoderOutput("x");
    progress.ShowEncoderOutput("a=b=5 c=d");
    progress.ShowEncoderOutput("a=b=6 c=d");
    EXPECT_EQ(progress.Total.Maximum, 300); // from the second piece, bar still at maximum 1
    const std::string label = progress.PersentText;
    const int total = progress.Total.Position;
    progress.ShowEncoderOutput("a=b=7 c=d");
    EXPECT_EQ(progress.PersentText, label);
    EXPECT_EQ(progress.Total.Position, total);
    EXPECT_EQ(progress.Current.Maximum, 0);
}

TEST_F(Progress, StopEmptiesBothBars)
{
    progress.ShowEncoderOutput("x");
    progress.ShowEncoderOutput("a=b=50 c=d");
    state.StopRequested = true;
    state.RowIndex = TConversionState::kStoppedRowIndex;
    progress.ResetAfterStop();
    EXPECT_EQ(progress.PersentText, "Current: 1, Total: ...");
    EXPECT_EQ(progress.Total.Maximum, 0);
    EXPECT_EQ(progress.Total.Position, 0);
    EXPECT_EQ(progress.Current.Position, 0);
    // Output read after the Stop does not bring the bars back ("Current: 1025 , ...").
    for (const char *late : {"a=b=60 c=d", "a=b=61 c=d"}) {
        progress.ShowEncoderOutput(late);
        EXPECT_EQ(progress.PersentText, "Current: 1, Total: ...");
        EXPECT_EQ(progress.Total.Maximum, 0);
        EXPECT_EQ(progress.Total.Position, 0);
        EXPECT_EQ(progress.Current.Position, 0);
        EXPECT_EQ(progress.StatusText, "a=b=50 c=d");
    }
}

TEST_F(Progress, TheRunningLightWrapsFromSixToOne)
{
    std::vector<int> shown;
    for (int tick = 0; tick < 8; ++tick) {
        progress.AnimationTick();
        int visible = 0, count = 0;
        for (int i = 0; i < 6; ++i) {
            if (progress.FrameVisible[static_cast<std::size_t>(i)]) {
                visible = i + 1;
                ++count;
            }
        }
        EXPECT_EQ(count, 1);
        shown.push_back(visible);
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 4, 5, 6, 1, 2}));
}

// evc's real output for a conversion that needs a second encoding (a square wave at 500 % into
// AAC: the codec's ringing lifts the decoded peaks far over the limit), line by line as evc
// writes it, through the window's parser. The bar may go back when the encoding starts again,
// but it never stands still for long, and it ends full.
TEST(ProgressOfRealEncoder, SecondEncodingKeepsTheBarMovingAndItEndsFull)
{
    tqtest::TestFolder folder;
    const std::string source = folder.File("square.wav");
    std::string error;
    ASSERT_TRUE(tqtest::RunFfmpeg({"-f", "lavfi", "-i",
                                   "aevalsrc=0.9*sgn(sin(2*PI*220*t))|0.9*sgn(sin(2*PI*331*t)):"
                                   "s=44100:d=30",
                                   source},
                                  &error))
        << error;

    platform::ConsoleProcess evc;
    ASSERT_TRUE(
        evc.Start({evctest::EvcPath(), "-y", "-i", source, "-acodec", "aac", "-vn", "-ab", "128",
                   "-vol", "500", "-ac", "2", "-ar", "44100", folder.File("square.m4a")},
                  folder.Path()))
        << evc.Error();
    struct Reading
    {
        std::chrono::steady_clock::time_point at;
        int position;
        bool timed; // a progress line with a time
    };
    TConversionState state;
    TConvertParameterStruct parameters;
    TConvertingProgress progress(state, parameters);
    state.RowCount = 1;
    state.LengthText = "30";
    progress.FormShow();
    std::vector<Reading> readings;
    std::string output, pending;
    bool running = true;
    do {
        running = evc.IsRunning();
        char buffer[4096];
        const std::size_t count = evc.ReadAvailable(buffer, sizeof buffer);
        pending.append(buffer, count);
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            output += line + "\n";
            progress.ShowEncoderOutput(line);
            readings.push_back(
                {std::chrono::steady_clock::now(), progress.Current.Position,
                 line.find("time=") != std::string::npos &&
                     line.find(TConvertingProgress::kNoTimeYet) == std::string::npos});
        }
        if (count == 0 && running)
            evc.WaitForOutput(20);
    } while (running || evc.BytesWaiting() > 0);
    ASSERT_EQ(evc.ExitCode(), 0) << output;
    ASSERT_NE(output.find("encoding it again"), std::string::npos) << output;

    // The reporter's interval, as this machine keeps it: the median gap between lines.
    std::vector<double> gaps;
    for (std::size_t i = 1; i < readings.size(); ++i)
        gaps.push_back(std::chrono::duration<double>(readings[i].at - readings[i - 1].at).count());
    ASSERT_GE(gaps.size(), 4u) << output;
    std::sort(gaps.begin(), gaps.end());
    const double interval = std::max(0.25, gaps[gaps.size() / 2]);
    // From the first time evc reports on.
    const auto first = std::find_if(readings.begin(), readings.end(),
                                    [](const Reading &reading) { return reading.timed; });
    ASSERT_NE(first, readings.end()) << output;
    Reading lastChange = *first;
    for (auto reading = first; reading != readings.end(); ++reading) {
        if (reading->position != lastChange.position)
            lastChange = *reading;
        EXPECT_LE(std::chrono::duration<double>(reading->at - lastChange.at).count(),
                  2 * interval + 0.05)
            << "the bar stood at " << lastChange.position << "\n"
            << output;
    }
    EXPECT_EQ(progress.Current.Position, 30) << output;
    EXPECT_EQ(progress.Current.Maximum, 30);
}
