#include "preview/PreviewPlayer.h"

#include "PreviewFakes.h"

#include <gtest/gtest.h>

namespace {

using Calls = std::vector<std::string>;

class PreviewPlayerTest : public ::testing::Test, protected PreviewRig
{
protected:
    void SetUp() override
    {
        rows.Add("/m/a.mp3", "00:00:00", "00:01:00");
        rows.Add("/m/b.mp3", "00:00:00", "00:02:00");
    }
    // Plays /m/a.mp3 and forgets the calls that took.
    void StartPlaying()
    {
        player.PlayFile("/m/a.mp3");
        engine.calls.clear();
    }
};

TEST_F(PreviewPlayerTest, PlayFileLoadsAfreshAndStartsPlaying)
{
    player.PlayFile("/m/a.mp3");

    EXPECT_EQ(engine.calls, (Calls{"Active:=false", "ClearGraph", "Active:=true",
                                   "RenderFile /m/a.mp3", "Play"}));
    EXPECT_EQ(previewFile, "/m/a.mp3");
    EXPECT_TRUE(player.IsPlaying);
    EXPECT_FALSE(display.logo);
    EXPECT_TRUE(log.empty());
}

TEST_F(PreviewPlayerTest, RenderErrorLogsClearsTheGraphAndForgetsTheFile)
{
    engine.renderThrows = true;
    player.PlayFile("/m/a.mp3");

    EXPECT_EQ(engine.calls.back(), "ClearGraph");
    EXPECT_TRUE(engine.active);
    EXPECT_EQ(previewFile, "");
    EXPECT_FALSE(player.IsPlaying);
    EXPECT_TRUE(display.logo);
    EXPECT_EQ(log, Calls{"Playing Video error."});
}

TEST_F(PreviewPlayerTest, PartlyRenderedFileKeepsItsNameButPlaysNothing)
{
    engine.renderResult = 1;
    player.PlayFile("/m/a.mp3");

    EXPECT_EQ(engine.calls.back(), "ClearGraph");
    EXPECT_EQ(previewFile, "/m/a.mp3");
    EXPECT_FALSE(player.IsPlaying);
    EXPECT_EQ(log, Calls{"Playing Video error."});
}

TEST_F(PreviewPlayerTest, FailedPlayShowsTheLogoAndChangesNothingElse)
{
    engine.playThrows = true;
    display.logo = false;
    player.PlayFile("/m/a.mp3");
    EXPECT_TRUE(display.logo);
    EXPECT_FALSE(player.IsPlaying);
    EXPECT_EQ(previewFile, "/m/a.mp3");
    EXPECT_TRUE(log.empty());
}

TEST_F(PreviewPlayerTest, PauseAndResumeFollowTheButtons)
{
    StartPlaying();
    events.btnPlayClick(rows); // playing: nothing
    EXPECT_TRUE(engine.calls.empty());

    events.btnPauseClick();
    EXPECT_FALSE(player.IsPlaying);
    EXPECT_FALSE(display.logo);
    events.btnPauseClick(); // paused: nothing
    EXPECT_EQ(engine.calls, Calls{"Pause"});

    events.btnPlayClick(rows);
    EXPECT_EQ(engine.calls, (Calls{"Pause", "Play"}));
    EXPECT_TRUE(player.IsPlaying);

    engine.pauseThrows = true;
    events.btnPauseClick();
    EXPECT_TRUE(display.logo);
    EXPECT_TRUE(player.IsPlaying);
}

TEST_F(PreviewPlayerTest, PlayButtonLoadsEverySelectedRowInOrderAndTheLastKeepsPlaying)
{
    events.btnPlayClick(rows); // nothing loaded, nothing selected
    EXPECT_TRUE(engine.calls.empty());

    rows.SetRowSelected(0, true);
    rows.SetRowSelected(1, true);
    events.btnPlayClick(rows);
    EXPECT_EQ(engine.calls, (Calls{"Active:=false", "ClearGraph", "Active:=true",
                                   "RenderFile /m/a.mp3", "Play", "Active:=false", "ClearGraph",
                                   "Active:=true", "RenderFile /m/b.mp3", "Play"}));
    EXPECT_EQ(previewFile, "/m/b.mp3");
}

TEST_F(PreviewPlayerTest, StopUnloadsAndResetsTheDisplaysOnlyWhileActive)
{
    player.StopPlay();
    EXPECT_TRUE(engine.calls.empty());

    StartPlaying();
    display.caption = "00:00:07";
    display.position = 7;
    events.RzBmpButton1Click();
    EXPECT_EQ(engine.calls, (Calls{"Stop", "Active:=false", "ClearGraph"}));
    EXPECT_EQ(previewFile, "");
    EXPECT_EQ(display.caption, "00:00:00");
    EXPECT_EQ(display.position, 0);
    EXPECT_TRUE(display.logo);
    EXPECT_FALSE(player.IsPlaying);
}

TEST_F(PreviewPlayerTest, FailedStopSkipsTheRestButShowsTheLogoAndResetsTheBar)
{
    StartPlaying();
    engine.stopThrows = true;
    display.position = 7;
    display.caption = "00:00:07";
    player.StopPlay();
    EXPECT_EQ(engine.calls, Calls{"Stop"});
    EXPECT_TRUE(engine.active);
    EXPECT_EQ(previewFile, "/m/a.mp3");
    EXPECT_EQ(display.caption, "00:00:07");
    EXPECT_TRUE(display.logo);
    EXPECT_EQ(display.position, 0);
}

TEST_F(PreviewPlayerTest, DoubleClickPlaysAnotherRowAndPausesTheLoadedOne)
{
    rows.SetRowSelected(1, true);
    events.dxTreeSourceFileInfoDblClick(rows);
    EXPECT_EQ(previewFile, "/m/b.mp3");
    EXPECT_EQ(player.Timeline.TimelineDuration, 120);
    EXPECT_TRUE(player.IsPlaying);

    engine.calls.clear();
    events.dxTreeSourceFileInfoDblClick(rows);
    events.dxTreeSourceFileInfoDblClick(rows);
    EXPECT_EQ(engine.calls, (Calls{"Pause", "Pause"}));
    EXPECT_FALSE(player.IsPlaying);
}

TEST_F(PreviewPlayerTest, TickShowsTheElapsedTimeAndProgress)
{
    ASSERT_TRUE(engine.timer);
    StartPlaying();
    engine.position = 750'000'000; // 75 s
    engine.timer(75'400, 120'000);
    EXPECT_EQ(display.caption, "00:01:15");
    EXPECT_EQ(display.minimum, 0);
    EXPECT_EQ(display.maximum, 120);
    EXPECT_EQ(display.position, 75);
    EXPECT_TRUE(engine.calls.empty());
}

TEST_F(PreviewPlayerTest, TickAtTheEndMarkerRewindsToTheFileStartAndPauses)
{
    StartPlaying();
    player.Timeline.EndMarkText = "00:00:30";
    engine.position = 300'000'000;
    engine.timer(30'000, 60'000);
    EXPECT_EQ(engine.calls, (Calls{"SeekTo 0", "Pause"}));
    EXPECT_EQ(display.caption, "00:00:30");
    EXPECT_FALSE(player.IsPlaying);
}

TEST_F(PreviewPlayerTest, TickAtTheEndOfTheFileRewindsAndStops)
{
    StartPlaying();
    engine.position = 600'000'000;
    engine.timer(60'000, 60'000);
    EXPECT_EQ(engine.calls, (Calls{"SeekTo 0", "Stop", "Active:=false", "ClearGraph"}));
    EXPECT_EQ(display.caption, "00:00:00");
    EXPECT_TRUE(display.logo);
    EXPECT_EQ(previewFile, "");

    // The next play loads the selected row afresh.
    rows.SetRowSelected(0, true);
    engine.calls.clear();
    events.btnPlayClick(rows);
    EXPECT_EQ(engine.calls.at(3), "RenderFile /m/a.mp3");
}

TEST_F(PreviewPlayerTest, EndMarkerAndEndOfFileInOneTickBothRun)
{
    StartPlaying();
    player.Timeline.EndMarkText = "00:01:00";
    engine.position = 600'000'000;
    engine.timer(60'000, 60'000);
    EXPECT_EQ(engine.calls,
              (Calls{"SeekTo 0", "Pause", "SeekTo 0", "Stop", "Active:=false", "ClearGraph"}));
}

TEST(ElapsedCaption, PrintsHoursWithAtLeastTwoDigits)
{
    EXPECT_EQ(TPreviewPlayer::ElapsedCaption(0), "00:00:00");
    EXPECT_EQ(TPreviewPlayer::ElapsedCaption(3599), "00:59:59");
    EXPECT_EQ(TPreviewPlayer::ElapsedCaption(100 * 3600), "100:00:00");
}

TEST(PreviewPlayer, RefusesToRunUnbound)
{
    TPreviewPlayer player;
    EXPECT_THROW(player.StopPlay(), std::logic_error);
}

} // namespace
