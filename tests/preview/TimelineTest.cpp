#include "PreviewFakes.h"

#include <gtest/gtest.h>

namespace {

using Geometry = TTimelineGeometry;
using Calls = std::vector<std::string>;

class TimelineTest : public ::testing::Test, protected PreviewRig
{
protected:
    // Adds a selected row with the given segment and clicks it.
    void ClickRow(const std::string &name, const std::string &duration, const std::string &start,
                  const std::string &end)
    {
        rows.Add(name, "00:00:00", duration, true);
        const int row = rows.RowCount() - 1;
        rows.SetCellText(row, JobColumn::StartTime, start);
        rows.SetCellText(row, JobColumn::EndTime, end);
        events.dxTreeSourceFileInfoClick(rows);
    }
    void SelectOnly(int row)
    {
        for (int i = 0; i < rows.RowCount(); ++i)
            rows.SetRowSelected(i, i == row);
    }
};

TEST(TimelineGeometry, StartsWithThinOuterImagesAndMapsPixelsToPercent)
{
    Geometry geometry;
    EXPECT_EQ(geometry.LeftWidth(), 1);
    EXPECT_EQ(geometry.MiddleWidth(), 216);
    EXPECT_EQ(geometry.RightWidth(), 1);
    EXPECT_EQ(geometry.StartPosition(), 0);
    EXPECT_EQ(geometry.EndPosition(), 216);
    EXPECT_EQ(Geometry::Percent(0), 0);
    EXPECT_EQ(Geometry::Percent(109), 50);
    EXPECT_EQ(Geometry::Percent(215), 100);
    EXPECT_EQ(Geometry::Percent(216), 100);
    EXPECT_EQ(Geometry::SecondsAt(50, 59), 29);
}

TEST(TimelineGeometry, RoundsHalvesToTheEvenNeighbour)
{
    EXPECT_EQ(Geometry::RoundHalfEven(54.5), 54);
    EXPECT_EQ(Geometry::RoundHalfEven(55.5), 56);
    EXPECT_EQ(Geometry::RoundHalfEven(54.51), 55);
    EXPECT_EQ(Geometry::RoundHalfEven(0.5), 0);
}

// The share of the duration is taken before the pixels; in the other order these durations give
// a little more than half a pixel and round up.
TEST(TimelineGeometry, PlacementTakesTheShareFirstThenRoundsHalvesToEven)
{
    struct Case
    {
        int64_t duration, seconds;
        int left, right; // widths when the seconds are the start, or the end
    };
    for (const Case &c : {Case{100, 25, 55, 165}, Case{200, 50, 55, 165}, Case{340, 85, 55, 165},
                          Case{4, 1, 55, 165}, Case{4, 3, 165, 55}}) {
        SCOPED_TRACE(testing::Message() << c.seconds << " of " << c.duration);
        Geometry start;
        start.Place(c.seconds, c.duration, c.duration);
        EXPECT_EQ(start.LeftWidth(), c.left);
        Geometry end;
        end.Place(0, c.seconds, c.duration);
        EXPECT_EQ(end.RightWidth(), c.right);
    }
}

TEST(TimelineGeometry, PlacementThresholdsIgnoreSmallChanges)
{
    Geometry geometry;
    // start 1 of 218 s asks for a left width of 2: 1 px away, not applied.
    geometry.Place(1, 218, 218);
    EXPECT_EQ(geometry.LeftWidth(), 1);
    geometry.Place(2, 218, 218); // 3 px: applied
    EXPECT_EQ(geometry.LeftWidth(), 3);
    // end 216 of 218 s asks for a right width of 3: 2 px away, not applied.
    geometry.Place(2, 216, 218);
    EXPECT_EQ(geometry.RightWidth(), 1);
    geometry.Place(2, 215, 218); // 4 px: applied
    EXPECT_EQ(geometry.RightWidth(), 4);
}

TEST(TimelineGeometry, OversizedRequestsAreClampedSoEveryImageKeepsOnePixel)
{
    Geometry geometry;
    geometry.Place(100, 100, 100); // start at the very end asks for 219 px
    EXPECT_EQ(geometry.LeftWidth(), 216);
    EXPECT_EQ(geometry.MiddleWidth(), 1);
    EXPECT_EQ(geometry.RightWidth(), 1);
    EXPECT_EQ(Geometry::Percent(geometry.StartPosition()), 100);

    geometry.Place(0, 0, 100); // end at 0 asks for 219 px
    EXPECT_EQ(geometry.LeftWidth(), 1);
    EXPECT_EQ(geometry.RightWidth(), 216);
    EXPECT_EQ(geometry.EndPosition(), 1);

    geometry.Place(50, 50, 100); // both markers at one point: the start keeps its place
    EXPECT_EQ(geometry.LeftWidth(), 110);
    EXPECT_EQ(geometry.RightWidth(), 107);
    EXPECT_EQ(geometry.MiddleWidth(), 1);

    geometry.Place(10, 20, 0); // no duration: nothing moves
    EXPECT_EQ(geometry.LeftWidth(), 110);
}

TEST(TimelineGeometry, NudgeStepsFollowTheKeysHeld)
{
    EXPECT_EQ(Geometry::NudgeStep(false, false, false), 5);
    EXPECT_EQ(Geometry::NudgeStep(true, false, false), 1);
    EXPECT_EQ(Geometry::NudgeStep(false, true, false), 10);
    EXPECT_EQ(Geometry::NudgeStep(true, true, false), 5);
    EXPECT_EQ(Geometry::NudgeStep(true, false, true), 5);
    EXPECT_EQ(Geometry::NudgeStep(false, true, true), 5);
}

TEST(TimelineGeometry, NudgesMoveTheMarkerOfEachImageAndButton)
{
    Geometry geometry;
    geometry.SetLeftWidth(50);
    geometry.SetRightWidth(50);
    using I = Geometry::Image;
    using B = Geometry::Button;
    EXPECT_EQ(geometry.Nudge(I::Left, B::Left, 5), Geometry::Move::StartMarker);
    EXPECT_EQ(geometry.LeftWidth(), 55);
    EXPECT_EQ(geometry.Nudge(I::Left, B::Right, 10), Geometry::Move::StartMarker);
    EXPECT_EQ(geometry.LeftWidth(), 45);
    EXPECT_EQ(geometry.Nudge(I::Middle, B::Left, 1), Geometry::Move::StartMarker);
    EXPECT_EQ(geometry.LeftWidth(), 46);
    EXPECT_EQ(geometry.Nudge(I::Middle, B::Right, 5), Geometry::Move::EndMarker);
    EXPECT_EQ(geometry.RightWidth(), 55);
    EXPECT_EQ(geometry.Nudge(I::Right, B::Right, 10), Geometry::Move::EndMarker);
    EXPECT_EQ(geometry.RightWidth(), 65);
    EXPECT_EQ(geometry.Nudge(I::Right, B::Left, 5), Geometry::Move::EndMarker);
    EXPECT_EQ(geometry.RightWidth(), 60);
    EXPECT_EQ(geometry.Nudge(I::Middle, B::Middle, 5), Geometry::Move::None);

    // Limits: an image gives a step only while it is wider than the step.
    geometry.SetLeftWidth(5);
    EXPECT_EQ(geometry.Nudge(I::Left, B::Right, 5), Geometry::Move::None);
    EXPECT_EQ(geometry.Nudge(I::Left, B::Right, 1), Geometry::Move::StartMarker);
    EXPECT_EQ(geometry.LeftWidth(), 4);
}

TEST_F(TimelineTest, StartMarkerAtHalfOfAnHourWritesHalfAnHourAndSeeksAfterAPlacement)
{
    ClickRow("/m/long.mp4", "01:00:00", "00:00:00", "01:00:00");
    EXPECT_EQ(player.Timeline.TimelineDuration, 3600);
    engine.active = true;
    engine.calls.clear();

    geometry.SetLeftWidth(110); // s = 109
    events.Splitter1Moved(rows);

    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), "00:30:00");
    EXPECT_EQ(rows.CellText(0, JobColumn::CutTime), "00:30:00");
    EXPECT_EQ(engine.calls, Calls{"SeekTo 1800000"});
}

TEST_F(TimelineTest, MarkersAtTheEndsWriteTheWholeDuration)
{
    ClickRow("/m/a.mp3", "00:03:20", "00:00:00", "00:03:20");
    geometry.SetRightWidth(1);
    events.Splitter2Moved(rows);
    EXPECT_EQ(rows.CellText(0, JobColumn::EndTime), "00:03:20");
    EXPECT_EQ(player.Timeline.EndMarkText, "00:03:20");
    geometry.SetLeftWidth(1);
    events.Splitter1Moved(rows);
    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), "00:00:00");
}

TEST_F(TimelineTest, FiftyNineSecondsAtHalfGiveTwentyNine)
{
    ClickRow("/m/a.mp3", "00:00:59", "00:00:00", "00:00:59");
    geometry.SetLeftWidth(110);
    events.Splitter1Moved(rows);
    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), "00:00:29");
    EXPECT_EQ(rows.CellText(0, JobColumn::CutTime), "00:00:30");
}

TEST_F(TimelineTest, PlacementOfAStoredSegmentAndMovesThatWriteItBack)
{
    ClickRow("/m/a.mp3", "00:01:40", "00:00:50", "00:01:40");
    EXPECT_EQ(geometry.LeftWidth(), 110);
    EXPECT_EQ(geometry.RightWidth(), 1);
    events.Splitter1Moved(rows);
    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), "00:00:50");
    events.Splitter2Moved(rows);
    EXPECT_EQ(rows.CellText(0, JobColumn::EndTime), "00:01:40");
    EXPECT_EQ(rows.CellText(0, JobColumn::CutTime), "00:00:50");
}

TEST_F(TimelineTest, ExactHalfPixelRoundsToEven)
{
    ClickRow("/m/a.mp3", "00:00:04", "00:00:01", "00:00:04"); // 1/4 × 218 = 54.5
    EXPECT_EQ(geometry.LeftWidth(), 55);
}

TEST_F(TimelineTest, ClickingTheLoadedRowMovesNothingAndAnotherRowStopsThePreview)
{
    rows.Add("/m/a.mp3", "00:00:00", "00:01:40", true);
    player.PlayFile("/m/a.mp3");
    geometry.SetLeftWidth(30);
    engine.calls.clear();
    rows.SetCellText(0, JobColumn::StartTime, "00:00:50");
    events.dxTreeSourceFileInfoClick(rows);
    EXPECT_EQ(geometry.LeftWidth(), 30);
    EXPECT_TRUE(engine.calls.empty());

    rows.Add("/m/b.mp3", "00:00:00", "00:01:40", true);
    SelectOnly(1);
    events.dxTreeSourceFileInfoClick(rows);
    EXPECT_EQ(engine.calls, (Calls{"Stop", "Active:=false", "ClearGraph"}));
    EXPECT_EQ(geometry.LeftWidth(), 1);
}

TEST_F(TimelineTest, TwoSelectedRowsOfDifferentDurationsGetTheSameTimes)
{
    ClickRow("/m/short.mp3", "00:01:40", "00:00:00", "00:01:40");
    rows.Add("/m/long.mp3", "00:00:00", "01:00:00", true);
    geometry.SetLeftWidth(110);
    events.Splitter1Moved(rows);
    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), "00:00:50");
    EXPECT_EQ(rows.CellText(1, JobColumn::StartTime), "00:00:50");
    EXPECT_EQ(rows.CellText(1, JobColumn::CutTime), "00:59:10");
}

TEST_F(TimelineTest, BeforeAnyPlacementMovesWriteZeroAndNeverSeek)
{
    rows.Add("/m/a.mp3", "00:00:00", "00:01:40", true);
    engine.active = true;
    geometry.SetLeftWidth(110);
    events.Splitter1Moved(rows);
    geometry.SetRightWidth(100);
    events.Splitter2Moved(rows);
    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), "00:00:00");
    EXPECT_EQ(rows.CellText(0, JobColumn::EndTime), "00:00:00");
    EXPECT_TRUE(engine.calls.empty());
}

TEST_F(TimelineTest, SeekErrorsAreIgnoredAndNoSelectionWritesNothing)
{
    ClickRow("/m/a.mp3", "00:01:40", "00:00:00", "00:01:40");
    engine.seekThrows = true;
    geometry.SetLeftWidth(110);
    EXPECT_NO_THROW(events.Splitter1Moved(rows));
    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), "00:00:50");

    player.Timeline.EndMarkText = "00:00:09";
    SelectOnly(-1);
    events.Splitter2Moved(rows);
    EXPECT_EQ(player.Timeline.EndMarkText, "00:00:09");
    EXPECT_EQ(rows.CellText(0, JobColumn::EndTime), "00:01:40");
}

TEST_F(TimelineTest, PressesOnTheImagesNudgeAndWrite)
{
    ClickRow("/m/a.mp3", "00:01:40", "00:00:00", "00:01:40");
    using I = Geometry::Image;
    using B = Geometry::Button;
    geometry.SetLeftWidth(108);
    geometry.SetRightWidth(105); // middle 5 px
    EXPECT_EQ(events.PanelMouseDown(I::Middle, B::Left, 5, rows), Geometry::Move::None);
    EXPECT_EQ(events.PanelMouseDown(I::Middle, B::Left, 1, rows), Geometry::Move::StartMarker);
    EXPECT_EQ(rows.CellText(0, JobColumn::StartTime), "00:00:50"); // s = 108 -> 50 %

    geometry.SetLeftWidth(50);
    geometry.SetRightWidth(50);
    EXPECT_EQ(events.PanelMouseDown(I::Right, B::Right, 10, rows), Geometry::Move::EndMarker);
    EXPECT_EQ(geometry.RightWidth(), 60);
    EXPECT_EQ(rows.CellText(0, JobColumn::EndTime), "00:01:13"); // e = 157 -> 73 %
}

TEST(CutLength, UsesTheLastRowWhoseNameMatchesIgnoringCase)
{
    tqtest::MemoryJobRows rows;
    rows.Add("/m/Song.mp3", "00:00:00", "00:02:00");
    rows.Add("/m/other.mp3", "00:00:00", "00:09:00");
    rows.Add("/M/SONG.MP3", "00:00:00", "00:03:00");
    rows.SetCellText(2, JobColumn::StartTime, "00:00:30");
    EXPECT_EQ(TSegmentSelection::CutLength(rows, "/m/song.mp3"), 150);
    rows.SetCellText(2, JobColumn::StartTime, "00:x:30");
    EXPECT_EQ(TSegmentSelection::CutLength(rows, "/m/song.mp3"), 180);
    EXPECT_EQ(TSegmentSelection::CutLength(rows, "/m/none.mp3"), 0);
}

} // namespace
