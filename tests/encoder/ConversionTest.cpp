// Converts generated sources of every type into every output type with the real evc and reads
// the results back with libavformat.

#include "EvcRunner.h"
#include "MediaCheck.h"
#include "TestFolder.h"
#include "TestMedia.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <thread>

namespace evctest {
namespace {

struct OutputType
{
    std::string extension;
    std::string codecOption;
    std::string codec; // as libavcodec names it
    // Samples that the container cannot signal as encoder delay or padding, on top of one frame.
    int toleranceSamples;
};

const std::vector<OutputType> &OutputTypes()
{
    static const std::vector<OutputType> types = {
        {"amr", "amr_nb", "amr_nb", 160},     {"aac", "aac", "aac", 2048 + 1024},
        {"mp3", "mp3", "mp3", 1152},          {"ac3", "ac3", "ac3", 1536 + 256},
        {"m4a", "aac", "aac", 1024},          {"ogg", "vorbis", "vorbis", 1024},
        {"wav", "pcm_s16le", "pcm_s16le", 1},
    };
    return types;
}

// The command line that the converter builds for an output type.
std::vector<std::string> CatalogueCommand(const std::string &input, const OutputType &type,
                                          const std::string &kbps, const std::string &channels,
                                          const std::string &rate, const std::string &output)
{
    if (type.extension == "amr")
        return {"-y",  "-i", input,  "-acodec", "amr_nb", "-s", "176x144", "-b",   "128",
                "-ab", kbps, "-vol", "100",     "-ac",    "1",  "-ar",     "8000", output};
    return {"-y",  "-i",     input, "-acodec", type.codecOption,
            "-vn", "-ab",    kbps,  "-vol",    "100",
            "-ac", channels, "-ar", rate,      output};
}

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
