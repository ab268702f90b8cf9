#include "preview/QtMediaEngine.h"

#include "PreviewFakes.h"
#include "TestFolder.h"
#include "TestMedia.h"
#include "preview/PreviewPlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QVideoWidget>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Keeps the tick's captions so that the test can see the position advance.
class TCaptionLog : public TRecordingDisplay
{
public:
    void SetTimeCaption(const std::string &text) override
    {
        TRecordingDisplay::SetTimeCaption(text);
        captions.push_back(text);
    }
    std::vector<std::string> captions;
};

class QtMediaEngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        pane.resize(260, 158);
        player.BindPreview(engine, display, previewFile,
                           [this](const std::string &line) { log.push_back(line); });
    }
    std::string Tone(const std::string &name, double seconds, bool video = false)
    {
        tqtest::ToneSpec spec;
        spec.seconds = seconds;
        spec.withVideo = video;
        return tqtest::MakeToneIn(folder, name, spec);
    }
    // Processes events until `done` or the time is up; false on timeout.
    template <typename Done> bool WaitFor(Done done, int milliseconds)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > milliseconds)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        return true;
    }

    tqtest::TestFolder folder;
    QWidget pane;
    std::vector<std::string> log;
    TQtMediaEngine engine{&pane, nullptr, [this](const std::string &line) { log.push_back(line); }};
    TCaptionLog display;
    std::string previewFile;
    TPreviewPlayer player;
};

TEST_F(QtMediaEngineTest, PlaysATwoSecondFileToTheEndAndStops)
{
    const std::string path = Tone("two.wav", 2.0);
    player.PlayFile(path);
    ASSERT_TRUE(log.empty()) << log.front();
    ASSERT_TRUE(player.IsPlaying);
    EXPECT_EQ(previewFile, path);
    EXPECT_GE(engine.DurationMs(), 1900);

    ASSERT_TRUE(WaitFor([&] { return previewFile.empty(); }, 8000))
        << "playback never reached the end";
    EXPECT_FALSE(player.IsPlaying);
    EXPECT_FALSE(engine.Active());
    EXPECT_EQ(display.caption, "00:00:00");
    EXPECT_TRUE(display.logo);
    EXPECT_EQ(display.position, 0);
    // The ticks saw the position advance before the stop.
    ASSERT_GE(display.captions.size(), 2u);
    EXPECT_NE(std::find(display.captions.begin(), display.captions.end(), "00:00:01"),
              display.captions.end());
}

TEST_F(QtMediaEngineTest, PausesAtTheEndMarkerBackAtTheStart)
{
    const std::string path = Tone("clip.avi", 3.0, true);
    player.Timeline.EndMarkText = "00:00:01";
    player.PlayFile(path);
    ASSERT_TRUE(player.IsPlaying);
    ASSERT_TRUE(WaitFor([&] { return !player.IsPlaying; }, 8000));
    EXPECT_EQ(previewFile, path);
    EXPECT_EQ(display.caption, "00:00:01");
    // The seek back to the start completes asynchronously in the media backend.
    EXPECT_TRUE(WaitFor([&] { return engine.CurrentPosition() < 5'000'000; }, 3000))
        << "position stayed at " << engine.CurrentPosition() / 10000 << " ms";
}

// A start marker moved while the file plays seeks there; a Pause pressed a while later pauses
// where playback has got to, not back at the marker.
TEST_F(QtMediaEngineTest, PauseAfterAMarkerMovePausesWherePlaybackIs)
{
    const std::string path = Tone("long.wav", 8.0);
    player.PlayFile(path);
    ASSERT_TRUE(player.IsPlaying);
    const auto positionMs = [this] { return engine.CurrentPosition() / 10000; };
    ASSERT_TRUE(WaitFor([&] { return positionMs() >= 300; }, 8000));
    TPreviewPlayer::SeekTo(engine, 3000); // as the start marker's move does
    ASSERT_TRUE(WaitFor([&] { return positionMs() >= 4300; }, 8000))
        << "position stayed at " << positionMs() << " ms";

    const int64_t before = positionMs();
    player.PausePlay();
    ASSERT_FALSE(player.IsPlaying);
    WaitFor([] { return false; }, 600); // let a seek the pause might make take effect
    EXPECT_NEAR(positionMs(), before, 300);
}

TEST_F(QtMediaEngineTest, FilesThatAreNotMediaAreRenderErrors)
{
    const std::string tone = Tone("tone.wav", 1.0);
    const std::string playlist = folder.File("playlist.avi");
    tqtest::WriteWholeFile(playlist, "#EXTM3U\n#EXTINF:1.0,\n" + tone + "\n#EXT-X-ENDLIST\n");

    for (const std::string &name : {playlist, folder.File("missing.mp3")}) {
        log.clear();
        player.PlayFile(name);
        EXPECT_EQ(log, std::vector<std::string>{"Playing Video error."});
        EXPECT_EQ(previewFile, "");
        EXPECT_FALSE(player.IsPlaying);
        EXPECT_TRUE(engine.Active());
        EXPECT_THROW(engine.Play(), EMediaEngineError);
    }
}

TEST_F(QtMediaEngineTest, VideoWindowFillsItsPaneLetterBoxed)
{
    pane.show();
    pane.resize(300, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(engine.VideoWindow()->parentWidget(), &pane);
    EXPECT_EQ(engine.VideoWindow()->geometry(), pane.contentsRect());
    EXPECT_EQ(engine.VideoWindow()->aspectRatioMode(), Qt::KeepAspectRatio);
}

} // namespace
