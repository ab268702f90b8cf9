// The encoder's units on their own: command line, value fitting, gain, progress text, sample
// stage and output file clean-up.

#include "AmrNbEncoder.h"
#include "CatalogueChoices.h"
#include "CodecFitting.h"
#include "EncoderError.h"
#include "EncoderOptions.h"
#include "OutputFile.h"
#include "PeakLimiter.h"
#include "ProgressReporter.h"
#include "SampleStage.h"
#include "TestFolder.h"
#include "support/PartialOutput.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
}

namespace evc {
namespace {

// The libraries' own diagnostics would only clutter the test output.
const bool kQuietLibraries = [] {
    av_log_set_level(AV_LOG_QUIET);
    return true;
}();

OptionParseResult Parse(std::vector<std::string> arguments)
{
    return ParseEncoderOptions(arguments);
}

TEST(EvcOptions, ReadsTheMp3AndAmrCommandLinesOfTheConverter)
{
    const OptionParseResult mp3 = Parse({"-y", "-i", "D:/Video/clip.avi", "-acodec", "mp3", "-vn",
                                         "-ab", "128", "-vol", "100", "-ac", "2", "-ar", "44100",
                                         "-ss", "00:01:00", "-t", "90", "E:/Out/clip.mp3"});
    ASSERT_TRUE(mp3.ok) << mp3.error;
    EXPECT_TRUE(mp3.options.overwrite);
    EXPECT_TRUE(mp3.options.noVideo);
    EXPECT_EQ(mp3.options.inputPath, "D:/Video/clip.avi");
    EXPECT_EQ(mp3.options.codecName, "mp3");
    EXPECT_EQ(*mp3.options.audioKbps, 128);
    EXPECT_EQ(*mp3.options.volumePercent, 100);
    EXPECT_EQ(*mp3.options.channels, 2);
    EXPECT_EQ(*mp3.options.sampleRate, 44100);
    EXPECT_EQ(*mp3.options.startSeconds, 60);
    EXPECT_EQ(*mp3.options.lengthSeconds, 90);
    EXPECT_EQ(mp3.options.outputPath, "E:/Out/clip.mp3");

    const OptionParseResult amr =
        Parse({"-y",   "-i",  "clip.avi", "-acodec", "amr_nb", "-s",      "176x144", "-b",
               "128",  "-ab", "16",       "-vol",    "100",    "-ac",     "1",       "-ar",
               "8000", "-ss", "00:01:00", "-t",      "90",     "clip.amr"});
    ASSERT_TRUE(amr.ok) << amr.error;
    EXPECT_EQ(amr.options.videoSize, "176x144");
    EXPECT_EQ(*amr.options.videoKbps, 128);
    EXPECT_EQ(*amr.options.sampleRate, 8000);
}

TEST(EvcOptions, TakesOptionsInAnyOrderAndOutputsThatLookLikeOptions)
{
    const OptionParseResult parsed =
        Parse({"-ar", "22050", "-i", "-input.wav", "-vol", "250", "-y", "-dash out.ogg"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.inputPath, "-input.wav");
    EXPECT_EQ(parsed.options.outputPath, "-dash out.ogg");
    EXPECT_FALSE(parsed.options.codecName.size());
    EXPECT_FALSE(parsed.options.startSeconds.has_value());
}

TEST(EvcOptions, RejectsBadCommandLinesWithAUsageLineNamingTheFault)
{
    struct Bad
    {
        std::vector<std::string> arguments;
        std::string named;
    };
    const std::vector<Bad> cases = {
        {{}, "no arguments"},
        {{"-i", "a.wav", "-q", "1", "b.mp3"}, "\"-q\""},
        {{"-i", "a.wav", "extra", "b.mp3"}, "\"extra\""},
        {{"-i", "a.wav", "-ab"}, "-ab"},
        {{"-i", "a.wav", "-ab", "b.mp3"}, "-ab"},
        {{"-i", "a.wav", "-ab", "fast", "b.mp3"}, "\"fast\""},
        {{"-i", "a.wav", "-ab", "0", "b.mp3"}, "\"0\""},
        {{"-i", "a.wav", "-ar", "44k1", "b.mp3"}, "\"44k1\""},
        {{"-i", "a.wav", "-ac", "0", "b.mp3"}, "-ac"},
        {{"-i", "a.wav", "-ac", "2.5", "b.mp3"}, "-ac"},
        {{"-i", "a.wav", "-vol", "-5", "b.mp3"}, "-vol"},
        {{"-i", "a.wav", "-vol", "", "b.mp3"}, "-vol"},
        {{"-i", "a.wav", "-acodec", "flac", "b.mp3"}, "\"flac\""},
        {{"-i", "a.wav", "-s", "176", "b.mp3"}, "-s"},
        {{"-i", "a.wav", "-ss", "00:75:00", "b.mp3"}, "-ss"},
        {{"-i", "a.wav", "-ss", "1:2:3:4", "b.mp3"}, "-ss"},
        {{"-i", "a.wav", "-ss", "-00:00:05", "b.mp3"}, "-ss"},
        {{"-i", "a.wav", "-t", "ten", "b.mp3"}, "-t"},
        {{"-i", "a.wav", "-t", "0", "b.mp3"}, "-t"},
        {{"-i", "a.wav", "-t", "-30", "b.mp3"}, "-t"},
        {{"-y", "b.mp3"}, "-i"},
        {{"-i", "a.wav", "-y"}, "output"},
    };
    for (const Bad &bad : cases) {
        const OptionParseResult parsed = Parse(bad.arguments);
        EXPECT_FALSE(parsed.ok) << bad.named;
        EXPECT_NE(parsed.error.find(bad.named), std::string::npos) << parsed.error;
        EXPECT_NE(parsed.error.find("usage: evc"), std::string::npos);
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos);
    }
}

TEST(EvcOptions, HelpWinsWhereverItStandsExceptAsAValue)
{
    struct Case
    {
        std::vector<std::string> arguments;
        bool help;
    };
    const std::vector<Case> cases = {
        {{"--help"}, true},
        {{"-h"}, true},
        {{"-i", "a.wav", "-ab", "96", "--help"}, true},
        {{"-q", "--help", "b.mp3"}, true},
        {{"-i", "--help", "b.mp3"}, false},
        {{"-i", "a.wav", "-t", "-h", "b.mp3"}, false},
    };
    for (const Case &c : cases) {
        const OptionParseResult parsed = Parse(c.arguments);
        EXPECT_EQ(parsed.help, c.help)
            << c.arguments.size() << " arguments, last " << c.arguments.back();
    }
    EXPECT_EQ(Parse({"-i", "--help", "b.mp3"}).options.inputPath, "--help");
}

TEST(EvcOptions, ReadsTimesWithAndWithoutFields)
{
    double seconds = 0;
    ASSERT_TRUE(ParseTimeText("00:01:00", &seconds));
    EXPECT_EQ(seconds, 60);
    ASSERT_TRUE(ParseTimeText("125:00:30", &seconds));
    EXPECT_EQ(seconds, 125 * 3600 + 30);
    ASSERT_TRUE(ParseTimeText("1:30.5", &seconds));
    EXPECT_EQ(seconds, 90.5);
    ASSERT_TRUE(ParseTimeText("90", &seconds));
    EXPECT_EQ(seconds, 90);
    EXPECT_FALSE(ParseTimeText("", &seconds));
    EXPECT_FALSE(ParseTimeText("00::10", &seconds));
    EXPECT_FALSE(ParseTimeText("1e3", &seconds));
}

AudioSettings Fit(const std::string &codec, double kbps, int rate, int channels,
                  const SettingsProbe &probe = {})
{
    AudioRequest request;
    request.kbps = kbps;
    request.sampleRate = rate;
    request.channels = channels;
    return FitAudioSettings(codec, request, probe);
}

TEST(EvcFitting, MovesValuesToTheNearestOneTheCodecTakes)
{
    const AudioSettings ac3 = Fit("ac3", 16, 22050, 2);
    EXPECT_EQ(ac3.sampleRate, 32000);
    EXPECT_EQ(ac3.bitRate, 32000);
    EXPECT_EQ(ac3.notes.size(), 2u);

    EXPECT_EQ(Fit("mp3", 224, 22050, 2).bitRate, 160000); // MPEG-2 tops out at 160 kbit/s
    EXPECT_EQ(Fit("mp3", 16, 44100, 2).bitRate, 32000);   // MPEG-1 starts at 32 kbit/s
    EXPECT_EQ(Fit("mp3", 128, 44100, 6).channels, 2);
    EXPECT_TRUE(Fit("mp3", 128, 44100, 2).notes.empty());

    const AudioSettings amr = Fit("amr_nb", 128, 44100, 2);
    EXPECT_EQ(amr.sampleRate, 8000);
    EXPECT_EQ(amr.channels, 1);
    EXPECT_EQ(amr.bitRate, 12200);
    EXPECT_EQ(Fit("amr_nb", 5, 8000, 1).bitRate, 5150);
    EXPECT_EQ(AmrModeOfBitrate(4750), 0);
    EXPECT_EQ(AmrModeOfBitrate(1000000), 7);

    // An AAC frame holds at most 6144 bits per channel.
    EXPECT_LE(Fit("aac", 224, 22050, 1).bitRate, 132300);
    EXPECT_EQ(Fit("aac", 128, 44100, 2).bitRate, 128000);

    const AudioSettings pcm = Fit("pcm_s16le", 48, 32000, 1);
    EXPECT_EQ(pcm.bitRate, 32000 * 16);
    EXPECT_TRUE(pcm.notes.empty());
}

TEST(EvcFitting, ProbesVorbisBitratesOutwardFromTheRequest)
{
    const SettingsProbe range45to300 = [](const AudioSettings &s) {
        return s.bitRate >= 45000 && s.bitRate <= 300000;
    };
    EXPECT_EQ(Fit("vorbis", 16, 44100, 2, range45to300).bitRate, 45000);
    EXPECT_EQ(Fit("vorbis", 320, 44100, 2, range45to300).bitRate, 300000);
    EXPECT_EQ(Fit("vorbis", 128, 44100, 2, range45to300).bitRate, 128000);
}

TEST(EvcFitting, EveryCatalogueCombinationOpensItsEncoder)
{
    using tqtest::CatalogueChoices;
    for (int type = 0; type < kOutputTypeCount; ++type) {
        const std::string codec = tqtest::CatalogueCodecOption(type);
        for (const std::string &kbps : CatalogueChoices(TCatalogueTable::AudioBitrates)) {
            for (const std::string &rate : CatalogueChoices(TCatalogueTable::SampleRates)) {
                for (const std::string &channels :
                     CatalogueChoices(TCatalogueTable::AudioChannelNames)) {
                    const AudioSettings settings = Fit(codec, std::stod(kbps), std::stoi(rate),
                                                       std::stoi(channels), EncoderAccepts);
                    EXPECT_TRUE(EncoderAccepts(settings))
                        << codec << " " << kbps << " " << rate << " " << channels;
                }
            }
        }
    }
}

TEST(EvcSamples, GainSaturatesInsteadOfWrapping)
{
    float samples[] = {0.25f, 0.6f, -0.7f, -0.1f, NAN};
    EXPECT_EQ(ApplyGain(samples, 5, 2.0f), 2);
    EXPECT_FLOAT_EQ(samples[0], 0.5f);
    EXPECT_FLOAT_EQ(samples[1], 1.0f);
    EXPECT_FLOAT_EQ(samples[2], -1.0f);
    EXPECT_FLOAT_EQ(samples[3], -0.2f);
    EXPECT_FLOAT_EQ(samples[4], 0.0f);
}

TEST(EvcSamples, LimiterHoldsEveryPeakAndKeepsTimingAndLength)
{
    // A quiet tone with one loud click; the click at the very start and at the very end tests
    // that the look-ahead sees them too.
    struct Case
    {
        const char *name;
        int clickAt;
        int blockSize; // samples per Push
    };
    const int length = 88200;
    const Case cases[] = {{"click in the middle", 10000, 1000},
                          {"click first", 0, 1000},
                          {"click last", length - 1, 777},
                          {"one sample at a time", 5000, 1}};
    const double gain = 4.0;
    const double ceiling = std::pow(10.0, -1.05 / 20);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<float> left(length), right(length);
        for (int i = 0; i < length; ++i) {
            left[size_t(i)] = 0.05f * float(std::sin(i * 0.05));
            right[size_t(i)] = -left[size_t(i)];
        }
        right[size_t(c.clickAt)] = -0.9f;
        left[size_t(c.clickAt)] = NAN; // a damaged sample becomes silence, not a stuck gain

        PeakLimiter limiter(44100, 2, gain, -1.05);
        std::vector<float> outLeft, outRight;
        const PeakLimiter::Sink sink = [&](float *const *planes, int count) {
            outLeft.insert(outLeft.end(), planes[0], planes[0] + count);
            outRight.insert(outRight.end(), planes[1], planes[1] + count);
        };
        for (int at = 0; at < length; at += c.blockSize) {
            const float *planes[] = {left.data() + at, right.data() + at};
            limiter.Push(planes, std::min(c.blockSize, length - at), sink);
        }
        limiter.Finish(sink);

        ASSERT_EQ(outLeft.size(), size_t(length));
        float loudest = 0;
        for (int i = 0; i < length; ++i)
            loudest =
                std::max({loudest, std::fabs(outLeft[size_t(i)]), std::fabs(outRight[size_t(i)])});
        EXPECT_LE(loudest, ceiling);
        EXPECT_NEAR(outRight[size_t(c.clickAt)], -ceiling, 1e-6); // held just to the ceiling
        EXPECT_NEAR(limiter.PeaksHeldDb(), 20 * std::log10(0.9 * gain) + 1.05, 1e-3);
        // A second away from the click the tone rises by the full gain, in time with the input.
        const int away = (c.clickAt + length / 2) % length;
        EXPECT_FLOAT_EQ(outLeft[size_t(away)], float(left[size_t(away)] * gain));
    }
}

TEST(EvcSamples, LimiterHoldsThePeaksBetweenTheSamples)
{
    // A tone at a quarter of the sample rate, sampled 45 degrees off its crests: every sample
    // lies at 0.71 of the waveform's peak, which a player draws between them.
    const int length = 44100;
    std::vector<float> tone(length);
    for (int i = 0; i < length; ++i)
        tone[size_t(i)] = 0.3f * float(std::sqrt(2.0) * std::sin(M_PI / 2 * i + M_PI / 4));
    PeakLimiter limiter(44100, 1, 4.0, -1.05);
    std::vector<float> out;
    const PeakLimiter::Sink sink = [&](float *const *planes, int count) {
        out.insert(out.end(), planes[0], planes[0] + count);
    };
    const float *planes[] = {tone.data()};
    limiter.Push(planes, length, sink);
    limiter.Finish(sink);
    ASSERT_EQ(out.size(), size_t(length));
    float loudestSample = 0;
    for (float sample : out)
        loudestSample = std::max(loudestSample, std::fabs(sample));
    // The crests, not the samples, meet the ceiling (the interpolator reads them 0.17 dB low).
    const double ceiling = std::pow(10.0, -1.05 / 20);
    EXPECT_LE(loudestSample, ceiling / std::sqrt(2.0) * 1.025);
    EXPECT_GT(loudestSample, ceiling / std::sqrt(2.0) * 0.95);
}

// Feeds `frames` frames of 16-bit stereo 44.1 kHz frames of 1000 samples into a stage.
int64_t PassThrough(SampleStage &stage, int frames, int firstSample, int frameSize)
{
    FramePtr in = NewFrame();
    FramePtr out = NewFrame();
    int64_t total = 0;
    int64_t expectedPts = 0;
    for (int i = 0; i < frames; ++i) {
        av_frame_unref(in.get());
        in->format = AV_SAMPLE_FMT_S16;
        in->sample_rate = 44100;
        in->nb_samples = 1000;
        av_channel_layout_default(&in->ch_layout, 2);
        EXPECT_GE(av_frame_get_buffer(in.get(), 0), 0);
        std::fill_n(reinterpret_cast<int16_t *>(in->data[0]), 2000, int16_t{8000});
        stage.Push(in.get(), i == 0 ? firstSample : 0);
        while (stage.Pull(out.get())) {
            EXPECT_EQ(out->pts, expectedPts);
            EXPECT_EQ(out->nb_samples, frameSize);
            expectedPts += out->nb_samples;
            total += out->nb_samples;
        }
    }
    stage.Finish();
    while (stage.Pull(out.get())) {
        EXPECT_LE(out->nb_samples, frameSize);
        total += out->nb_samples;
    }
    return total;
}

TEST(EvcSamples, StageKeepsTheLimitToTheSampleAndSkipsTheStart)
{
    SampleStage limited(44100, 2, AV_SAMPLE_FMT_S16, 1152, 1.0, 44100);
    EXPECT_EQ(PassThrough(limited, 88, 0, 1152), 44100);
    EXPECT_TRUE(limited.LimitReached());

    SampleStage skipping(44100, 1, AV_SAMPLE_FMT_FLTP, 1024, 1.0, -1);
    EXPECT_EQ(PassThrough(skipping, 44, 400, 1024), 44 * 1000 - 400);

    // Through the resampler and the limiter's look-ahead: not one sample lost or added.
    SampleStage resampled(8000, 1, AV_SAMPLE_FMT_S16, 160, 5.0, -1, -3.0);
    const int64_t samples = PassThrough(resampled, 44, 0, 160);
    EXPECT_NEAR(samples, 44000 * 8000 / 44100, 2);
    // Two equal channels at 8000/32768 fold into mono at the same level; five times that is
    // 1.7 dB above full scale, held down to the ceiling. The limiter measures true peaks, and
    // the step from silence rings between the samples by up to 1 dB more (a sum of the channels
    // would be 3 dB more).
    const double sampleHeldDb = 20 * std::log10(8000.0 / 32768 * 5) + 3.0;
    EXPECT_GT(resampled.PeaksHeldDb(), sampleHeldDb - 0.05);
    EXPECT_LT(resampled.PeaksHeldDb(), sampleHeldDb + 1.2);
}

TEST(EvcProgress, ThirdPieceBetweenEqualSignsIsTheTime)
{
    auto thirdPiece = [](const std::string &line) {
        size_t at = 0;
        for (int i = 0; i < 2; ++i)
            at = line.find('=', at) + 1;
        return line.substr(at);
    };
    const std::string line = ProgressReporter::ProgressText(12.75, 126 * 1024);
    EXPECT_EQ(line, "size=     126kB time=12.75 bitrate=  81.0kbits/s");
    EXPECT_EQ(thirdPiece(line).rfind("12.75 ", 0), 0u);
    // The reader cuts the piece at "." and compares the part before it with the marker.
    const std::string waiting = thirdPiece(ProgressReporter::WaitingText());
    EXPECT_EQ(waiting.substr(0, waiting.find('.')), "10000000000");
}

void WriteOneAmrPacket(OutputFile &output, AmrNbEncoder &encoder)
{
    FramePtr frame = NewFrame();
    frame->format = AV_SAMPLE_FMT_S16;
    frame->sample_rate = 8000;
    frame->nb_samples = 160;
    frame->pts = 0;
    av_channel_layout_default(&frame->ch_layout, 1);
    ASSERT_GE(av_frame_get_buffer(frame.get(), 0), 0);
    std::fill_n(reinterpret_cast<int16_t *>(frame->data[0]), 160, int16_t{0});
    encoder.Send(frame.get());
    PacketPtr packet = NewPacket();
    ASSERT_TRUE(encoder.Receive(packet.get()));
    output.WriteAudio(packet.get());
}

TEST(EvcOutput, FileAppearsWithTheFirstPacketAndGoesWhenUnfinished)
{
    tqtest::TestFolder folder;
    const std::string path = folder.File("speech.amr");
    const std::string partial = PartialOutputPath(path);
    {
        AmrNbEncoder encoder(12200);
        OutputFile output(path, "amr");
        output.AddAudioStream(encoder);
        EXPECT_FALSE(std::filesystem::exists(partial));
        WriteOneAmrPacket(output, encoder);
        EXPECT_TRUE(std::filesystem::exists(partial));
        EXPECT_FALSE(std::filesystem::exists(path)); // not under its name until complete
    }
    EXPECT_FALSE(std::filesystem::exists(partial)); // failed before Finish: removed
    EXPECT_FALSE(std::filesystem::exists(path));
    {
        AmrNbEncoder encoder(12200);
        OutputFile output(path, "amr");
        output.AddAudioStream(encoder);
        WriteOneAmrPacket(output, encoder);
        output.Finish();
    }
    const std::string bytes = tqtest::ReadWholeFile(path);
    EXPECT_EQ(bytes.substr(0, 6), "#!AMR\n");
    EXPECT_EQ(bytes.size(), 6u + 32u); // one 12.2 kbit/s frame
    EXPECT_FALSE(std::filesystem::exists(partial));

    // The name taken while converting: kept unless replacing was asked for.
    for (const bool replace : {false, true}) {
        tqtest::WriteWholeFile(path, "taken");
        AmrNbEncoder encoder(12200);
        OutputFile output(path, "amr", replace);
        output.AddAudioStream(encoder);
        WriteOneAmrPacket(output, encoder);
        if (replace)
            output.Finish();
        else
            EXPECT_THROW(output.Finish(), EncoderError);
        EXPECT_EQ(tqtest::ReadWholeFile(path).size(), replace ? 38u : 5u);
    }
    EXPECT_FALSE(std::filesystem::exists(partial));
}

TEST(EvcOutput, ExtensionsChooseContainerAndCodec)
{
    EXPECT_STREQ(MuxerForPath("/a/b.M4A"), "ipod");
    EXPECT_STREQ(MuxerForPath("x.aac"), "adts");
    EXPECT_EQ(DefaultCodecForPath("x.ogg"), "vorbis");
    EXPECT_EQ(MuxerForPath("x.flac"), nullptr);
    EXPECT_EQ(MuxerForPath("dir.mp3/file"), nullptr);
}

} // namespace
} // namespace evc
