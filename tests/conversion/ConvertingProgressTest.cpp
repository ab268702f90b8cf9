#include "conversion/ConvertingProgress.h"

#include "conversion/ConversionState.h"
#include "conversion/ConvertParameterStruct.h"

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
