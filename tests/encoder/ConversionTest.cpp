// Converts generated sources of every type into every output type with the real evc and reads
// the results back with libavformat.

#include "EvcRunner.h"
#include "MediaCheck.h"
#include "OutputTypes.h"
#include "TestFolder.h"
#include "TestMedia.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <thread>

namespace evctest {
namespace {

bool HasVideo(const std::string &extension)
{
    static const std::set<std::string> video = {"3gp", "3g2", "mp4", "m4v",  "mpeg",
                                                "mpg", "avi", "asf", "mov",  "wmv",
                                                "flv", "swf", "rm",  "rmvb", "vob"};
    return video.count(extension) != 0;
}

class EvcConversion : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_folder = std::make_unique<tqtest::TestFolder>();
        const auto &extensions = tqtest::SourceExtensions();
        s_errors.assign(extensions.size(), "");
        std::atomic<size_t> next{0};
        auto make = [&] {
            for (size_t i = next++; i < extensions.size(); i = next++) {
                tqtest::ToneSpec spec;
                spec.seconds = 2.0;
                spec.amplitude = 0.5;
                spec.withVideo = HasVideo(extensions[i]);
                tqtest::MakeToneFile(Source(extensions[i]), spec, &s_errors[i]);
            }
        };
        std::thread helper(make);
        make();
        helper.join();
    }
    static void TearDownTestSuite() { s_folder.reset(); }

    static std::string Source(const std::string &extension)
    {
        return s_folder->File("tone." + extension);
    }

    static std::unique_ptr<tqtest::TestFolder> s_folder;
    static std::vector<std::string> s_errors;
};

std::unique_ptr<tqtest::TestFolder> EvcConversion::s_folder;
std::vector<std::string> EvcConversion::s_errors;

TEST_F(EvcConversion, EverySourceTypeConvertsToEveryOutputType)
{
    struct Case
    {
        std::string source;
        const OutputType *type;
        std::string output;
    };
    std::vector<Case> cases;
    std::vector<std::vector<std::string>> jobs;
    for (const std::string &extension : tqtest::SourceExtensions()) {
        for (const OutputType &type : OutputTypes()) {
            const std::string output = s_folder->File("out-" + extension + "." + type.extension);
            cases.push_back({extension, &type, output});
            jobs.push_back(CatalogueCommand(Source(extension), type, "128", "2", "44100", output));
        }
    }
    const std::vector<EvcRun> runs = RunEvcBatch(jobs);

    std::map<std::string, AudioFacts> sources;
    for (const std::string &extension : tqtest::SourceExtensions())
        sources[extension] = InspectAudio(Source(extension));

    for (size_t i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        const AudioFacts &source = sources[c.source];
        SCOPED_TRACE(c.source + " -> " + c.type->extension + ": " + runs[i].errors);
        ASSERT_TRUE(source.ok) << source.error << s_errors[i / OutputTypes().size()];
        ASSERT_EQ(runs[i].exitCode, 0);
        const AudioFacts out = InspectAudio(c.output);
        ASSERT_TRUE(out.ok) << out.error;
        const bool amr = c.type->extension == "amr";
        EXPECT_EQ(out.codec, c.type->codec);
        EXPECT_EQ(out.channels, amr ? 1 : 2);
        EXPECT_EQ(out.sampleRate, amr ? 8000 : 44100);
        // Duration: the source's length within one frame and the delay the container cannot
        // signal.
        EXPECT_NEAR(out.Seconds(), source.Seconds(),
                    double(c.type->toleranceSamples) / out.sampleRate + 0.002);
        // The 440 Hz tone at half scale survives.
        EXPECT_NEAR(out.frequency, 440.0, 440.0 * 0.03);
        EXPECT_NEAR(out.rms, source.rms, source.rms * (amr ? 0.35 : 0.1));
    }
}

} // namespace
} // namespace evctest

namespace evctest {
namespace {

// Media made with ffmpeg's command line, for the cases the tone files do not cover.
void Ffmpeg(const std::vector<std::string> &arguments)
{
    std::string output;
    ASSERT_TRUE(tqtest::RunFfmpeg(arguments, &output)) << output;
}

bool IsProgressLine(const std::string &line, double *seconds)
{
    // size=     123kB time=12.75 bitrate= 128.0kbits/s
    unsigned long long kb = 0;
    double bitrate = 0;
    char unit[16] = {};
    if (std::sscanf(line.c_str(), "size=%llukB time=%lf bitrate=%lf%15s", &kb, seconds, &bitrate,
                    unit) != 4)
        return false;
    return std::string(unit) == "kbits/s";
}

class EvcFeatures : public ::testing::Test
{
protected:
    tqtest::TestFolder m_folder;
};

TEST_F(EvcFeatures, ConverterExampleCommandLinesGiveNinetySecondFiles)
{
    const std::string clip = m_folder.File("clip.avi");
    Ffmpeg({"-f", "lavfi", "-i", "sine=frequency=440:duration=160", "-f", "lavfi", "-i",
            "testsrc=size=176x144:rate=15:duration=160", "-c:a", "libmp3lame", "-c:v", "mpeg4",
            clip});
    const std::string mp3 = m_folder.File("clip.mp3");
    const std::string amr = m_folder.File("clip.amr");
    const auto start = std::chrono::steady_clock::now();
    const std::vector<EvcRun> runs = RunEvcBatch({
        {"-y", "-i", clip, "-acodec", "mp3", "-vn", "-ab", "128", "-vol", "100", "-ac", "2", "-ar",
         "44100", "-ss", "00:01:00", "-t", "90", mp3},
        {"-y",   "-i",  clip,       "-acodec", "amr_nb", "-s",  "176x144", "-b",
         "128",  "-ab", "16",       "-vol",    "100",    "-ac", "1",       "-ar",
         "8000", "-ss", "00:01:00", "-t",      "90",     amr},
    });
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    for (const EvcRun &run : runs)
        ASSERT_EQ(run.exitCode, 0) << run.errors;
    const AudioFacts mp3Facts = InspectAudio(mp3);
    EXPECT_EQ(mp3Facts.codec, "mp3");
    EXPECT_EQ(mp3Facts.sampleRate, 44100);
    EXPECT_EQ(mp3Facts.channels, 2);
    EXPECT_NEAR(mp3Facts.Seconds(), 90.0, 1152.0 / 44100);
    const AudioFacts amrFacts = InspectAudio(amr);
    EXPECT_EQ(amrFacts.codec, "amr_nb");
    EXPECT_EQ(amrFacts.sampleRate, 8000);
    EXPECT_EQ(amrFacts.channels, 1);
    EXPECT_NEAR(amrFacts.Seconds(), 90.0, 160.0 / 8000);
    EXPECT_EQ(tqtest::ReadWholeFile(amr).substr(0, 6), "#!AMR\n");

    // Console output: banner, "no time yet", progress lines at most four a second, last line.
    for (const EvcRun &run : runs) {
        const std::vector<std::string> lines = LinesOf(run.output);
        ASSERT_GE(lines.size(), 4u) << run.output;
        EXPECT_EQ(lines.front().rfind("evc: \"", 0), 0u) << lines.front();
        EXPECT_NE(lines.front().find("volume 100%"), std::string::npos);
        EXPECT_EQ(lines[1].rfind("size=", 0), 0u);
        EXPECT_NE(lines[1].find(" time=10000000000.00 "), std::string::npos);
        EXPECT_EQ(lines.back().rfind("evc: done, 90.0", 0), 0u) << lines.back();
        double previous = 0;
        for (size_t i = 2; i + 1 < lines.size(); ++i) {
            double seconds = 0;
            ASSERT_TRUE(IsProgressLine(lines[i], &seconds)) << lines[i];
            EXPECT_GE(seconds, previous);
            previous = seconds;
        }
        EXPECT_NEAR(previous, 90.0, 0.1);
        // At most four progress lines a second of running time. A loaded machine only makes
        // the run longer and so this bound looser; it cannot fail for load.
        EXPECT_LE(double(lines.size() - 3), 4.0 * elapsed + 2);
    }
    EXPECT_NE(LinesOf(runs[1].output).front().find("12.20 kbit/s, 8000 Hz, 1 channel"),
              std::string::npos);
}

TEST_F(EvcFeatures, SegmentIsAccurateToOneCodecFrame)
{
    // Silence for three seconds, then a tone: where the tone begins in the output shows where
    // the segment began.
    const std::string wav = m_folder.File("step.wav");
    const std::string mp3 = m_folder.File("step.mp3");
    const std::string tone = "aevalsrc=exprs=if(gte(t\\,3)\\,0.5*sin(2*PI*440*t)\\,0):s=44100:d=6";
    Ffmpeg({"-f", "lavfi", "-i", tone, "-ac", "2", wav});
    Ffmpeg({"-i", wav, "-c:a", "libmp3lame", mp3});

    struct Case
    {
        std::string source, output;
        double frameSeconds; // one frame of the output codec (and of an MP3 source)
    };
    const std::vector<Case> cases = {
        {wav, "seg-wav.wav", 1.0 / 44100},    {wav, "seg-wav.mp3", 1152.0 / 44100},
        {wav, "seg-wav.m4a", 1024.0 / 44100}, {wav, "seg-wav.ogg", 1024.0 / 44100},
        {mp3, "seg-mp3.wav", 1152.0 / 44100}, {mp3, "seg-mp3.m4a", 2048.0 / 44100},
    };
    std::vector<std::vector<std::string>> jobs;
    for (const Case &c : cases)
        jobs.push_back(
            {"-y", "-i", c.source, "-ss", "00:00:02", "-t", "3", m_folder.File(c.output)});
    const std::vector<EvcRun> runs = RunEvcBatch(jobs);
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].output);
        ASSERT_EQ(runs[i].exitCode, 0) << runs[i].errors;
        const AudioFacts facts = InspectAudio(m_folder.File(cases[i].output));
        EXPECT_NEAR(facts.Seconds(), 3.0, cases[i].frameSeconds + 1e-6);
        EXPECT_NEAR(facts.firstSoundSeconds, 1.0, cases[i].frameSeconds + 0.002);
    }
    // PCM keeps the length to the sample.
    EXPECT_EQ(InspectAudio(m_folder.File("seg-wav.wav")).samples, 3 * 44100);
}

TEST_F(EvcFeatures, SegmentTimesFollowTheAudioAsItPlays)
{
    // Two MPEG recordings joined byte for byte, as DVD cells and cut recordings are: silence,
    // then a tone, each with timestamps from zero.
    const std::string quiet = m_folder.File("quiet.vob");
    const std::string loud = m_folder.File("loud.vob");
    for (const auto &[file, level] : {std::pair{quiet, "0"}, std::pair{loud, "0.5"}}) {
        Ffmpeg({"-f", "lavfi", "-i",
                std::string("aevalsrc=exprs=") + level + "*sin(2*PI*440*t):s=44100:d=3", "-f",
                "lavfi", "-i", "testsrc=size=64x64:rate=25:duration=3", "-c:a", "mp2", "-c:v",
                "mpeg2video", file});
    }
    const std::string joined = m_folder.File("joined.vob");
    tqtest::WriteWholeFile(joined, tqtest::ReadWholeFile(quiet) + tqtest::ReadWholeFile(loud));
    // A stream cut out of a broadcast: its timestamps begin at 4150 s.
    const std::string late = m_folder.File("late.flv");
    Ffmpeg({"-f", "lavfi", "-i",
            "aevalsrc=exprs=if(gte(t\\,2)\\,0.5*sin(2*PI*440*t)\\,0):s=44100:d=4", "-c:a",
            "libmp3lame", "-output_ts_offset", "4150", late});
    // A video whose sound begins 3 s after the picture (an MP4 edit list): the tone comes at
    // 6 s of playback.
    const std::string lateSound = m_folder.File("late-sound.mp4");
    Ffmpeg({"-f", "lavfi", "-i", "testsrc=size=64x64:rate=25:duration=10", "-itsoffset", "3", "-f",
            "lavfi", "-i", "aevalsrc=exprs=if(gte(t\\,3)\\,0.5*sin(2*PI*440*t)\\,0):s=44100:d=7",
            "-map", "0:v", "-map", "1:a", "-c:v", "mpeg4", "-c:a", "aac", lateSound});

    struct Case
    {
        std::string source, start;
        double seconds, firstSound;
    };
    const std::vector<Case> cases = {
        {joined, "00:00:00", 6.0, 3.0},    {joined, "00:00:02", 4.0, 1.0},
        {joined, "00:00:04", 2.0, 0.0},    {late, "00:00:01", 3.0, 1.0},
        {lateSound, "00:00:05", 5.0, 1.0},
    };
    std::vector<std::vector<std::string>> jobs;
    for (size_t i = 0; i < cases.size(); ++i)
        jobs.push_back({"-y", "-i", cases[i].source, "-ss", cases[i].start, "-t", "20",
                        m_folder.File("plays" + std::to_string(i) + ".wav")});
    const std::vector<EvcRun> runs = RunEvcBatch(jobs);
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].source + " from " + cases[i].start);
        ASSERT_EQ(runs[i].exitCode, 0) << runs[i].errors;
        const AudioFacts facts = InspectAudio(m_folder.File("plays" + std::to_string(i) + ".wav"));
        // Within two MPEG audio frames: where the parts meet, the decoders' delays add up.
        EXPECT_NEAR(facts.Seconds(), cases[i].seconds, 0.06);
        EXPECT_NEAR(facts.firstSoundSeconds, cases[i].firstSound, 0.06);
    }
}

// Where `part` lies in `whole` near `from` (samples), by the least difference over a short
// stretch; -1 when nothing within `range` samples matches.
int64_t PlaceIn(const std::vector<float> &whole, const std::vector<float> &part, int64_t from,
                int64_t range)
{
    const size_t stretch = 512;
    const size_t skip = 4410; // past the first frames, which may differ after a seek
    int64_t best = -1;
    double bestDifference = 1e30;
    for (int64_t at = std::max<int64_t>(from - range, 0); at <= from + range; ++at) {
        if (size_t(at) + skip + stretch > whole.size() || skip + stretch > part.size())
            break;
        double difference = 0;
        for (size_t i = skip; i < skip + stretch && difference < bestDifference; ++i)
            difference += std::fabs(part[i] - whole[size_t(at) + i]);
        if (difference < bestDifference) {
            bestDifference = difference;
            best = at;
        }
    }
    return bestDifference < 0.01 * stretch ? best : -1;
}

TEST_F(EvcFeatures, LateSegmentsOfLongFilesGiveTheSamplesOfADecodeFromTheStart)
{
    // Noise, so that only the right place matches. The joined and chained files start their
    // timestamps again halfway, so a search by time finds the late start twice in them.
    auto noise = [](int seconds, int seed) {
        return "anoisesrc=c=pink:a=0.3:r=44100:d=" + std::to_string(seconds) +
               ":seed=" + std::to_string(seed);
    };
    const std::vector<std::string> video = {"-f", "lavfi", "-i",
                                            "testsrc=size=64x64:rate=25:duration=100"};
    const std::string ps = m_folder.File("long.mpg");
    const std::string ts = m_folder.File("long.ts");
    const std::string ogg = m_folder.File("long.ogg");
    const std::string joined = m_folder.File("joined.mpg");
    const std::string chained = m_folder.File("chained.ogg");
    std::vector<std::string> psArguments = {"-f", "lavfi", "-i", noise(100, 1)};
    psArguments.insert(psArguments.end(), video.begin(), video.end());
    for (const char *option : {"-c:a", "mp2", "-c:v", "mpeg2video"})
        psArguments.push_back(option);
    psArguments.push_back(ps);
    Ffmpeg(psArguments);
    Ffmpeg({"-f", "lavfi", "-i", noise(100, 2), "-c:a", "mp2", ts});
    Ffmpeg({"-f", "lavfi", "-i", noise(100, 3), "-c:a", "libvorbis", ogg});
    std::string joinedBytes, chainedBytes;
    for (int part = 0; part < 2; ++part) {
        const std::string mpg = m_folder.File("part" + std::to_string(part) + ".mpg");
        const std::string oga = m_folder.File("part" + std::to_string(part) + ".ogg");
        Ffmpeg({"-f", "lavfi", "-i", noise(50, 10 + part), "-c:a", "mp2", mpg});
        Ffmpeg({"-f", "lavfi", "-i", noise(50, 20 + part), "-c:a", "libvorbis", oga});
        joinedBytes += tqtest::ReadWholeFile(mpg);
        chainedBytes += tqtest::ReadWholeFile(oga);
    }
    tqtest::WriteWholeFile(joined, joinedBytes);
    tqtest::WriteWholeFile(chained, chainedBytes);

    // Each file is converted whole, from 2 s and from a late start. In the joined and chained
    // files the late start lies in the first part, at a time the second part holds as well.
    struct Source
    {
        std::string path, lateStart;
        int lateSeconds;
    };
    const std::vector<Source> sources = {{ps, "00:01:20", 80},
                                         {ts, "00:01:20", 80},
                                         {ogg, "00:01:20", 80},
                                         {joined, "00:00:40", 40},
                                         {chained, "00:00:40", 40}};
    std::vector<std::vector<std::string>> jobs;
    for (const Source &source : sources) {
        jobs.push_back({"-y", "-i", source.path, source.path + ".whole.wav"});
        jobs.push_back(
            {"-y", "-i", source.path, "-ss", "00:00:02", "-t", "10", source.path + ".early.wav"});
        jobs.push_back({"-y", "-i", source.path, "-ss", source.lateStart, "-t", "10",
                        source.path + ".late.wav"});
    }
    const std::vector<EvcRun> runs = RunEvcBatch(jobs);
    const int rate = 44100;
    for (size_t i = 0; i < sources.size(); ++i) {
        const std::string &path = sources[i].path;
        SCOPED_TRACE(path);
        for (size_t j = 3 * i; j < 3 * i + 3; ++j)
            ASSERT_EQ(runs[j].exitCode, 0) << runs[j].errors;
        const std::vector<float> whole = InspectAudio(path + ".whole.wav").firstChannel;
        const std::vector<float> early = InspectAudio(path + ".early.wav").firstChannel;
        const std::vector<float> late = InspectAudio(path + ".late.wav").firstChannel;
        // Decoding from the start places the early segment; the late one, found by a search,
        // must lie on the same clock to the sample and hold the same audio.
        const int64_t earlyAt = PlaceIn(whole, early, 2 * rate, 2 * rate);
        ASSERT_GE(earlyAt, 0);
        const int64_t lateAt = earlyAt + int64_t(sources[i].lateSeconds - 2) * rate;
        EXPECT_EQ(late.size(), size_t(10 * rate));
        EXPECT_EQ(PlaceIn(whole, late, lateAt, rate), lateAt);
    }
}

TEST_F(EvcFeatures, VolumeScalesTheLevelAndLimitsThePeaks)
{
    const std::string quiet = m_folder.File("quiet.wav");
    const std::string loud = m_folder.File("loud.wav");
    const std::string music = m_folder.File("music-source.wav");
    tqtest::ToneSpec spec;
    spec.amplitude = 0.1;
    ASSERT_TRUE(tqtest::MakeToneFile(quiet, spec));
    spec.amplitude = 0.5;
    ASSERT_TRUE(tqtest::MakeToneFile(loud, spec));
    std::string error;
    ASSERT_TRUE(tqtest::MakeLoudMusicFile(music, 8.0, &error)) << error;

    const std::vector<EvcRun> runs = RunEvcBatch({
        {"-y", "-i", quiet, "-vol", "100", m_folder.File("v100.wav")},
        {"-y", "-i", quiet, "-vol", "200", m_folder.File("v200.wav")},
        {"-y", "-i", quiet, "-vol", "0", m_folder.File("v0.wav")},
        {"-y", "-i", quiet, "-vol", "200", m_folder.File("v200.mp3")},
        {"-y", "-i", quiet, "-vol", "100", m_folder.File("v100.mp3")},
        {"-y", "-i", loud, "-vol", "500", m_folder.File("v500.wav")},
        {"-y", "-i", music, m_folder.File("music-default.wav")},
        {"-y", "-i", music, "-vol", "100", m_folder.File("music100.wav")},
        {"-y", "-i", music, "-vol", "200", m_folder.File("music200.wav")},
        {"-y", "-i", music, "-vol", "500", m_folder.File("music500.wav")},
        {"-y", "-i", music, "-vol", "200", m_folder.File("music200.mp3")},
        {"-y", "-i", music, "-vol", "500", m_folder.File("music500.m4a")},
        // A low bitrate adds the most noise: the first encoding decodes over full scale.
        {"-y", "-i", music, "-vol", "500", "-ab", "32", m_folder.File("music500-32k.m4a")},
    });
    for (const EvcRun &run : runs)
        ASSERT_EQ(run.exitCode, 0) << run.errors;
    // Below the ceiling the gain is exact.
    const AudioFacts v100 = InspectAudio(m_folder.File("v100.wav"));
    const AudioFacts v200 = InspectAudio(m_folder.File("v200.wav"));
    const double sourcePeak = InspectAudio(quiet).peak;
    EXPECT_NEAR(v100.peak, sourcePeak, 0.001);
    EXPECT_NEAR(v200.peak, 2 * sourcePeak, 0.001);
    EXPECT_NEAR(v200.rms / v100.rms, 2.0, 0.01);
    EXPECT_EQ(InspectAudio(m_folder.File("v0.wav")).peak, 0.0);
    EXPECT_NEAR(InspectAudio(m_folder.File("v200.mp3")).rms /
                    InspectAudio(m_folder.File("v100.mp3")).rms,
                2.0, 0.05);
    EXPECT_EQ(runs[1].output.find("peaks held"), std::string::npos);

    // Five times half scale: held 1 dB under full scale, never cut off or wrapped.
    const double minusOneDb = std::pow(10.0, -1.0 / 20);
    const AudioFacts v500 = InspectAudio(m_folder.File("v500.wav"));
    EXPECT_LE(v500.peakAllChannels, minusOneDb);
    EXPECT_GT(v500.peakAllChannels, minusOneDb * 0.98);
    EXPECT_EQ(v500.signFlips, 0);
    // The summary says how far: the source's peak five times over, down to the ceiling.
    double heldDb = 0;
    const std::string last = LinesOf(runs[5].output).back();
    ASSERT_NE(last.find(", peaks held by up to "), std::string::npos) << last;
    ASSERT_EQ(std::sscanf(last.c_str() + last.find(", peaks held by up to "),
                          ", peaks held by up to %lf dB", &heldDb),
              1)
        << last;
    EXPECT_NEAR(heldDb,
                20 * std::log10(5 * InspectAudio(loud).peakAllChannels / v500.peakAllChannels),
                0.1);

    // Loud music: -vol 100 leaves every sample as it was; louder settings raise the mean level
    // while no peak, also after a lossy codec, reaches full scale.
    EXPECT_EQ(tqtest::ReadWholeFile(m_folder.File("music100.wav")),
              tqtest::ReadWholeFile(m_folder.File("music-default.wav")));
    const AudioFacts music100 = InspectAudio(m_folder.File("music100.wav"));
    for (const char *name : {"music200.wav", "music500.wav"}) {
        SCOPED_TRACE(name);
        const AudioFacts louder = InspectAudio(m_folder.File(name));
        EXPECT_LE(louder.peakAllChannels, minusOneDb);
        EXPECT_GT(20 * std::log10(louder.rms / music100.rms), 3.0);
    }
    for (const char *name : {"music200.mp3", "music500.m4a", "music500-32k.m4a"}) {
        SCOPED_TRACE(name);
        EXPECT_LT(InspectAudio(m_folder.File(name)).peakAllChannels, minusOneDb * 1.05);
    }
}

TEST_F(EvcFeatures, LongMultiByteNamesAreWrittenWithoutLeftovers)
{
    const std::string source = tqtest::MakeToneIn(m_folder, "tone.wav", tqtest::ToneSpec());
    std::string name;
    for (int i = 0; i < 82; ++i)
        name += "\xe9\x9f\xb3";                            // three bytes each in UTF-8
    const std::string fits = m_folder.File(name + ".mp3"); // 250 bytes
    const std::string tooLong = m_folder.File(name + "\xe9\x9f\xb3\xe9\x9f\xb3.mp3"); // 256

    const EvcRun written = RunEvc({"-y", "-i", source, "-vol", "200", fits});
    ASSERT_EQ(written.exitCode, 0) << written.errors;
    EXPECT_GT(InspectAudio(fits).Seconds(), 0.9);
    const EvcRun refused = RunEvc({"-y", "-i", source, tooLong});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(IsOneClearLine(refused.errors)) << refused.errors;
    EXPECT_NE(refused.errors.find(tooLong), std::string::npos) << refused.errors;
    EXPECT_NE(refused.errors.find("File name too long"), std::string::npos) << refused.errors;

    // Nothing hidden is left behind in either case, and the user's file is the only new one.
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(m_folder.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"tone.wav", name + ".mp3"}));
}

TEST_F(EvcFeatures, TagsAndCoverArtAreCarried)
{
    const std::string cover = m_folder.File("cover.jpg");
    const std::string source = m_folder.File("tagged.mp3");
    Ffmpeg({"-f", "lavfi", "-i", "testsrc=size=64x64:duration=1", "-frames:v", "1", cover});
    const std::map<std::string, std::string> tags = {
        {"title", "A Title"}, {"artist", "Someone"}, {"album", "The Album"}, {"date", "2024"},
        {"genre", "Jazz"},    {"track", "3"},        {"comment", "Nice one"}};
    std::vector<std::string> tagging = {"-f", "lavfi", "-i", "sine=duration=1", "-i", cover, "-map",
                                        "0",  "-map",  "1"};
    for (const char *option :
         {"-c:a", "libmp3lame", "-c:v", "copy", "-disposition:v", "attached_pic"})
        tagging.push_back(option);
    for (const auto &[key, value] : tags) {
        tagging.push_back("-metadata");
        tagging.push_back(key + "=" + value);
    }
    tagging.push_back(source);
    Ffmpeg(tagging);

    const std::vector<std::string> withTags = {"mp3", "m4a", "ogg", "wav"};
    std::vector<std::vector<std::string>> jobs;
    for (const std::string &extension : withTags)
        jobs.push_back({"-y", "-i", source, "-vn", m_folder.File("tagged-out." + extension)});
    // A cover read from an M4A source goes on into an MP3.
    const std::vector<EvcRun> runs = RunEvcBatch(jobs);
    for (size_t i = 0; i < withTags.size(); ++i) {
        SCOPED_TRACE(withTags[i]);
        ASSERT_EQ(runs[i].exitCode, 0) << runs[i].errors;
        AudioFacts facts = InspectAudio(m_folder.File("tagged-out." + withTags[i]));
        for (const auto &[key, value] : tags)
            EXPECT_EQ(facts.tags[key], value) << key;
        EXPECT_EQ(facts.hasCover, withTags[i] == "mp3" || withTags[i] == "m4a");
    }
    const EvcRun again =
        RunEvc({"-y", "-i", m_folder.File("tagged-out.m4a"), "-vn", m_folder.File("from-m4a.mp3")});
    ASSERT_EQ(again.exitCode, 0) << again.errors;
    EXPECT_TRUE(InspectAudio(m_folder.File("from-m4a.mp3")).hasCover);
}

TEST_F(EvcFeatures, PhoneAmrRecordingsConvertWhole)
{
    // A 4.94 s tone made into AMR-NB 12.2 kbit/s by evc itself: 247 frames of 32 bytes.
    const std::string wav = m_folder.File("voice.wav");
    const std::string nb = m_folder.File("voice.amr");
    Ffmpeg(
        {"-f", "lavfi", "-i", "sine=frequency=440:duration=4.94", "-ar", "8000", "-ac", "1", wav});
    const EvcRun encoded = RunEvc({"-y", "-i", wav, "-acodec", "amr_nb", "-ab", "12.2", nb});
    ASSERT_EQ(encoded.exitCode, 0) << encoded.errors;
    const std::string nbBytes = tqtest::ReadWholeFile(nb);
    const std::string nbHeader = "#!AMR\n";
    ASSERT_EQ((nbBytes.size() - nbHeader.size()) % 32, 0u);
    const int nbFrames = int(nbBytes.size() - nbHeader.size()) / 32;

    // The same speech with a pause of 0.5 s: a comfort-noise frame and 24 frames without data,
    // as a phone writes while nobody speaks.
    std::string paused = nbBytes.substr(0, nbHeader.size() + 100 * 32);
    paused += char(0x44) + std::string(5, '\0');
    paused += std::string(24, char(0x7C));
    paused += nbBytes.substr(nbHeader.size() + 100 * 32);
    tqtest::WriteWholeFile(m_folder.File("paused.amr"), paused);

    // AMR-WB 23.85 kbit/s frames with arbitrary speech bits (no encoder at hand), with a pause.
    std::mt19937 random(11);
    std::string wb = "#!AMR-WB\n";
    for (int i = 0; i < 240; ++i) {
        if (i >= 120 && i < 130) {
            wb += i == 120 ? char(0x4C) + std::string(5, '\0') : std::string(1, char(0x7C));
            continue;
        }
        wb += char(0x44);
        for (int k = 0; k < 60; ++k)
            wb += char(random());
    }
    tqtest::WriteWholeFile(m_folder.File("wide.amr"), wb);

    struct Case
    {
        std::string source;
        int framesPerSample; // 0: the raw file itself
        double seconds;
    };
    const double nbSeconds = nbFrames * 0.02;
    const std::vector<Case> cases = {
        {"voice.amr", 0, nbSeconds},
        {"voice.3gp", 10, nbSeconds},
        {"voice.3g2", 5, nbSeconds},
        {"paused.amr", 0, nbSeconds + 0.5},
        {"paused.3gp", 10, nbSeconds + 0.5},
        {"wide.amr", 0, 4.8},
        {"wide.3gp", 10, 4.8},
    };
    std::vector<std::vector<std::string>> jobs;
    for (const Case &c : cases) {
        const std::string raw = c.source.substr(0, c.source.find('.')) + ".amr";
        if (c.framesPerSample > 0) {
            ASSERT_TRUE(
                GroupAmrFrames(m_folder.File(raw), m_folder.File(c.source), c.framesPerSample))
                << c.source;
        }
        jobs.push_back({"-y", "-i", m_folder.File(c.source), m_folder.File(c.source + ".wav")});
    }
    const std::vector<EvcRun> runs = RunEvcBatch(jobs);
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].source);
        ASSERT_EQ(runs[i].exitCode, 0) << runs[i].errors;
        const AudioFacts facts = InspectAudio(m_folder.File(cases[i].source + ".wav"));
        EXPECT_NEAR(facts.Seconds(), cases[i].seconds, 0.021);
        if (cases[i].source.rfind("voice", 0) == 0) {
            EXPECT_NEAR(facts.frequency, 440.0, 440.0 * 0.03);
        }
    }
}

TEST_F(EvcFeatures, FileWithoutAudioIsRefusedWithoutOutput)
{
    const std::string video = m_folder.File("silent-film.mp4");
    Ffmpeg({"-f", "lavfi", "-i", "testsrc=size=64x64:rate=10:duration=1", video});
    const EvcRun run = RunEvc({"-y", "-i", video, m_folder.File("film.mp3")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(IsOneClearLine(run.errors)) << run.errors;
    EXPECT_NE(run.errors.find("no audio stream"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_folder.File("film.mp3")));
}

} // namespace
} // namespace evctest
