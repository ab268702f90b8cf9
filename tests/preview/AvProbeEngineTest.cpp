#include "preview/AvProbeEngine.h"

#include "TestFolder.h"
#include "TestMedia.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

// Generates a file with the ffmpeg tool; `arguments`, options separated by blanks, go between the
// input and the output name.
std::string Generate(const tqtest::TestFolder &folder, const std::string &name, double seconds,
                     const std::string &arguments)
{
    const std::string path = folder.File(name);
    std::vector<std::string> command = {"-f", "lavfi", "-i",
                                        "sine=duration=" + std::to_string(seconds)};
    for (const std::string &word : tqtest::OptionWords(arguments))
        command.push_back(word);
    command.push_back(path);
    std::string output;
    EXPECT_TRUE(tqtest::RunFfmpeg(command, &output)) << output;
    return path;
}

// Keeps the first `fraction` of a file, as a download cut short does.
std::string Truncated(const tqtest::TestFolder &folder, const std::string &source, double fraction)
{
    const std::string bytes = tqtest::ReadWholeFile(source);
    const std::string path = folder.File("cut-" + source.substr(source.find_last_of('/') + 1));
    tqtest::WriteWholeFile(path, bytes.substr(0, size_t(double(bytes.size()) * fraction)));
    return path;
}

// Overwrites the bytes found `offset` bytes after the first `marker` in a file.
void Patch(const std::string &path, const std::string &marker, size_t offset,
           const std::string &bytes)
{
    std::string content = tqtest::ReadWholeFile(path);
    const size_t at = content.find(marker);
    ASSERT_NE(at, std::string::npos) << marker;
    content.replace(at + offset, bytes.size(), bytes);
    tqtest::WriteWholeFile(path, content);
}

int64_t ProbedMs(const std::string &path)
{
    TAvProbeEngine engine;
    engine.SetActive(true);
    engine.RenderFile(path);
    return engine.DurationMs();
}

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

// Headers that estimate, lie or describe more than a file holds: the probe reports the audio
// that is really there. Files over a few megabytes are measured from their last packets, the
// others by reading them whole, so both ways are covered.
TEST(AvProbeEngine, ReportsTheLengthReallyInTheFileWhateverTheHeaderSays)
{
    tqtest::TestFolder folder;
    struct Case
    {
        std::string label;
        std::string path;
        int64_t realMs;
    };
    std::vector<Case> cases;

    const std::string mp3 = Generate(folder, "song.mp3", 20, "-ac 2 -c:a libmp3lame -b:a 128k");
    cases.push_back(
        {"MP3 whose length header counts twice the frames", Truncated(folder, mp3, 0.5), 10000});
    const std::string adts = Generate(folder, "voice.aac", 16, "-c:a aac -b:a 32k -f adts");
    cases.push_back({"ADTS cut short", Truncated(folder, adts, 0.5), 8000});

    // An Info header claiming 70,000 frames (about 30 minutes) for 0.2 s of sound.
    const std::string liar = Generate(folder, "clip.mp3", 0.2, "-ac 1 -c:a libmp3lame");
    Patch(liar, "Info", 8, std::string("\x00\x01\x11\x70", 4));
    cases.push_back({"MP3 Info header claiming half an hour", liar, 200});

    // Headers and last pages that describe only the first of two files joined together.
    const std::string first = Generate(folder, "first.mp3", 3, "-ac 2 -c:a libmp3lame");
    const std::string joinedMp3 = folder.File("joined.mp3");
    tqtest::WriteWholeFile(joinedMp3, tqtest::ReadWholeFile(first) + tqtest::ReadWholeFile(first));
    cases.push_back({"two MP3 files joined, the first one's Info header", joinedMp3, 6035});
    const std::string link = Generate(folder, "link.ogg", 4, "-c:a libvorbis");
    const std::string chained = folder.File("chained.ogg");
    tqtest::WriteWholeFile(
        chained, tqtest::ReadWholeFile(Generate(folder, "lead.ogg", 6, "-c:a libvorbis")) +
                     tqtest::ReadWholeFile(link));
    cases.push_back({"Ogg file of two chained links", chained, 10000});

    // Timestamps that start at 4150 s without a stated length, and a metadata duration of 1 s
    // for 6 s of sound.
    cases.push_back(
        {"FLV starting at 4150 s",
         Generate(folder, "late.flv", 6,
                  "-ac 1 -c:a libmp3lame -output_ts_offset 4150 -flvflags no_duration_filesize"),
         6000});
    const std::string understated =
        Generate(folder, "short-header.flv", 6, "-ac 1 -c:a libmp3lame");
    Patch(understated, "duration", 9, std::string("\x3f\xf0\0\0\0\0\0\0", 8));
    cases.push_back({"FLV metadata saying 1 s", understated, 6000});

    // A lone frame of a raw stream carries neither a timestamp nor a duration.
    cases.push_back(
        {"one AC-3 frame", Generate(folder, "frame.ac3", 0.02, "-ar 48000 -ac 2 -c:a ac3"), 32});

    const std::string wavLiar = folder.File("liar.wav");
    tqtest::WriteWholeFile(wavLiar, tqtest::PcmWav(8000, 1, 16000, 8000 * 60));
    cases.push_back({"WAV whose data size is bigger than the file", wavLiar, 2000});
    const std::string tiny = folder.File("tiny.wav");
    tqtest::WriteWholeFile(tiny, tqtest::PcmWav(44100, 1, 7497));
    cases.push_back({"WAV of 0.17 s", tiny, 170});

    // Large enough to be measured from the end: 60 s of sound, headers claiming 120 s.
    const std::string bigWav = folder.File("big.wav");
    tqtest::WriteWholeFile(bigWav, tqtest::PcmWav(48000, 2, 48000 * 60, 48000 * 120));
    cases.push_back({"large WAV whose data size is bigger than the file", bigWav, 60000});
    const std::string bigMov =
        Generate(folder, "big.mov", 120, "-ar 48000 -ac 2 -c:a pcm_s16le -movflags faststart");
    cases.push_back({"large MOV cut in half", Truncated(folder, bigMov, 0.5), 60000});

    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const int64_t tolerance = std::max<int64_t>(60, c.realMs / 50);
        EXPECT_NEAR(ProbedMs(c.path), c.realMs, tolerance);
    }
}

// Sound files under an extension the job list accepts, read by demuxers that open only the one
// file: a speech corpus ships NIST SPHERE files as .wav, for instance.
TEST(AvProbeEngine, ReadsPlainSoundFilesUnderACommonExtension)
{
    tqtest::TestFolder folder;
    std::vector<std::string> paths;
    for (const char *muxer : {"aiff", "au", "caf", "w64", "flac", "wv", "voc"}) {
        paths.push_back(Generate(folder, std::string(muxer) + ".wav", 1.5,
                                 "-ac 1 -ar 16000 -f " + std::string(muxer)));
    }
    // AMR-NB storage format: 75 speech frames of 20 ms at 12.2 kbit/s (a mode byte and 31 bytes).
    std::string amr = "#!AMR\n";
    for (int frame = 0; frame < 75; ++frame)
        amr += '\x3c' + std::string(31, '\x11');
    paths.push_back(folder.File("amr.wav"));
    tqtest::WriteWholeFile(paths.back(), amr);

    std::string sphere = "NIST_1A\n   1024\nsample_count -i 24000\nsample_n_bytes -i 2\n"
                         "channel_count -i 1\nsample_byte_format -s2 01\nsample_rate -i 16000\n"
                         "sample_coding -s3 pcm\nend_head\n";
    sphere.resize(1024, ' ');
    sphere += tqtest::PcmWav(16000, 1, 24000).substr(44);
    paths.push_back(folder.File("sphere.wav"));
    tqtest::WriteWholeFile(paths.back(), sphere);

    TAvProbeEngine engine;
    engine.SetActive(true);
    for (const std::string &path : paths) {
        SCOPED_TRACE(path);
        EXPECT_EQ(engine.RenderFile(path), 0);
        EXPECT_NEAR(engine.DurationMs(), 1500, 60);
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
    const std::string session = folder.File("session.wav");
    tqtest::WriteWholeFile(session, "v=0\no=- 0 0 IN IP4 127.0.0.1\ns=x\nc=IN IP4 127.0.0.1\n"
                                    "t=0 0\nm=audio 5004 RTP/AVP 0\n");

    TAvProbeEngine engine;
    engine.SetActive(true);
    for (const std::string &name :
         {playlist, list, session, "concat:" + tone + "|" + tone, folder.File("missing.wav")}) {
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
