#include "preview/AvProbeEngine.h"

#include "TestFolder.h"
#include "TestMedia.h"

#include <gtest/gtest.h>

namespace {

TEST(AvProbeEngine, ReadsTheDurationOfEverySourceType)
{
    tqtest::TestFolder folder;
    TAvProbeEngine engine;
    for (const std::string &extension : tqtest::SourceExtensions()) {
        SCOPED_TRACE(extension);
        tqtest::ToneSpec spec;
        spec.seconds = 2.5;
        const std::string path = folder.File("tone." + extension);
        std::string error;
        ASSERT_TRUE(tqtest::MakeToneFile(path, spec, &error)) << error;

        engine.ClearGraph();
        engine.SetActive(true);
        EXPECT_EQ(engine.RenderFile(path), 0);
        EXPECT_GE(engine.DurationMs(), 2400);
        EXPECT_LE(engine.DurationMs(), 2700);
        engine.SetActive(false);
        EXPECT_EQ(engine.DurationMs(), 0);
    }
}

TEST(AvProbeEngine, CountsStreamsThatHaveNoDecoder)
{
    tqtest::TestFolder folder;
    const std::string path = folder.File("clip.avi");
    tqtest::ToneSpec spec;
    spec.withVideo = true;
    ASSERT_TRUE(tqtest::MakeToneFile(path, spec));
    EXPECT_EQ(TAvProbeEngine::CountStreamsWithoutDecoder(path), 0);
}

TEST(AvProbeEngine, RefusesWhatIsNotAMediaFile)
{
    tqtest::TestFolder folder;
    const std::string tone = folder.File("tone.wav");
    ASSERT_TRUE(tqtest::MakeToneFile(tone, tqtest::ToneSpec()));
    const std::string playlist = folder.File("playlist.avi");
    tqtest::WriteWholeFile(playlist, "#EXTM3U\n#EXTINF:1.0,\n" + tone + "\n#EXT-X-ENDLIST\n");
    const std::string list = folder.File("list.mp3");
    tqtest::WriteWholeFile(list, "ffconcat version 1.0\nfile '" + tone + "'\n");

    TAvProbeEngine engine;
    engine.SetActive(true);
    for (const std::string &name :
         {playlist, list, "concat:" + tone + "|" + tone, folder.File("missing.wav")}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(engine.RenderFile(name), EMediaEngineError);
        EXPECT_EQ(engine.DurationMs(), 0);
    }
}

TEST(AvProbeEngine, InactiveEngineRefusesToRenderAndNeverPlays)
{
    TAvProbeEngine engine;
    EXPECT_THROW(engine.RenderFile("/x.wav"), EMediaEngineError);
    engine.SetActive(true);
    EXPECT_THROW(engine.Play(), EMediaEngineError);
}

} // namespace
