// Every combination of output type, audio bitrate, sample rate and channel count that the
// catalogue offers gives a valid file. Many combinations fit to the same encoder settings (a
// codec moves an unsupported rate or bitrate to the nearest one it takes); evc runs once for
// each distinct setting of each output type. Which combination fits to which setting is
// checked in the encoder's unit tests, which also open the encoder for every combination.

#include "AudioEncoder.h"
#include "CatalogueChoices.h"
#include "CodecFitting.h"
#include "EvcRunner.h"
#include "MediaCheck.h"
#include "OutputTypes.h"
#include "TestFolder.h"
#include "TestMedia.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <set>
#include <tuple>

extern "C" {
#include <libavutil/log.h>
}

namespace evctest {
namespace {

// The channel counts the catalogue's channel list offers ("2" of "2 channels, Stereo").
std::vector<std::string> ChannelCounts()
{
    std::vector<std::string> counts;
    for (const std::string &name : tqtest::CatalogueChoices(TCatalogueTable::AudioChannelNames))
        counts.push_back(std::to_string(std::stoi(name)));
    return counts;
}

std::string KbpsText(int64_t bitRate)
{
    char text[32];
    if (bitRate % 1000 == 0)
        std::snprintf(text, sizeof text, "%lld kbit/s", static_cast<long long>(bitRate / 1000));
    else
        std::snprintf(text, sizeof text, "%.2f kbit/s", double(bitRate) / 1000.0);
    return text;
}

TEST(EvcCatalogue, EveryCombinationGivesAValidFile)
{
    av_log_set_level(AV_LOG_QUIET);
    tqtest::TestFolder folder;
    const std::string input = folder.File("one-second.wav");
    ASSERT_TRUE(tqtest::MakeToneFile(input, tqtest::ToneSpec{}));

    struct Case
    {
        const OutputType *type;
        evc::AudioSettings expected;
        std::string output;
    };
    const std::vector<std::string> bitrates =
        tqtest::CatalogueChoices(TCatalogueTable::AudioBitrates);
    const std::vector<std::string> sampleRates =
        tqtest::CatalogueChoices(TCatalogueTable::SampleRates);
    const std::vector<std::string> channelCounts = ChannelCounts();
    std::vector<Case> cases;
    std::vector<std::vector<std::string>> jobs;
    std::set<std::tuple<std::string, int, int, int64_t>> fitted;
    int combinations = 0;
    for (const OutputType &type : OutputTypes()) {
        for (const std::string &kbps : bitrates) {
            for (const std::string &rate : sampleRates) {
                for (const std::string &channels : channelCounts) {
                    // The AMR command line carries neither list: all of its rate and channel
                    // combinations are one and the same command, run once.
                    if (type.extension == "amr" &&
                        (rate != sampleRates.front() || channels != channelCounts.front()))
                        continue;
                    evc::AudioRequest request;
                    request.kbps = std::stod(kbps);
                    request.sampleRate = type.extension == "amr" ? 8000 : std::stoi(rate);
                    request.channels = type.extension == "amr" ? 1 : std::stoi(channels);
                    ++combinations;
                    const evc::AudioSettings expected =
                        evc::FitAudioSettings(type.codecOption, request, evc::EncoderAccepts);
                    if (!fitted
                             .emplace(type.extension, expected.sampleRate, expected.channels,
                                      expected.bitRate)
                             .second)
                        continue;
                    const std::string output =
                        folder.File(kbps + "-" + rate + "-" + channels + "." + type.extension);
                    cases.push_back({&type, expected, output});
                    jobs.push_back(CatalogueCommand(input, type, kbps, channels, rate, output));
                }
            }
        }
    }
    std::printf("catalogue combinations: %d, distinct encoder settings run: %zu\n", combinations,
                cases.size());
    const std::vector<EvcRun> runs = RunEvcBatch(jobs);
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        SCOPED_TRACE(c.output + ": " + runs[i].errors);
        ASSERT_EQ(runs[i].exitCode, 0);
        const AudioFacts facts = InspectAudio(c.output);
        ASSERT_TRUE(facts.ok) << facts.error;
        EXPECT_EQ(facts.codec, c.type->codec);
        EXPECT_EQ(facts.sampleRate, c.expected.sampleRate);
        EXPECT_EQ(facts.channels, c.expected.channels);
        EXPECT_NEAR(facts.Seconds(), 1.0,
                    double(c.type->toleranceSamples) / facts.sampleRate + 0.002);
        // The banner names the values used.
        const std::string banner = LinesOf(runs[i].output).at(0);
        EXPECT_NE(banner.find(KbpsText(c.expected.bitRate) + ", " +
                              std::to_string(c.expected.sampleRate) + " Hz, "),
                  std::string::npos)
            << banner;
    }
}

} // namespace
} // namespace evctest
