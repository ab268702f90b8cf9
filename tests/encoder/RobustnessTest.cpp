// Hostile and broken inputs, awkward file names and refused requests: evc ends with a clear
// line and a non-zero exit, never with a signal, a hang or a broken file.

#include "EvcRunner.h"
#include "MediaCheck.h"
#include "ProgramRun.h"
#include "TestFolder.h"
#include "TestMedia.h"
#include "support/PartialOutput.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace evctest {
namespace {

const char *const kOutputExtensions[] = {"mp3", "wav", "m4a", "ogg", "aac", "ac3", "amr"};

class EvcRobustness : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_folder = std::make_unique<tqtest::TestFolder>();
        for (const char *extension : {"wav", "mp3", "m4a", "ogg", "avi", "wma", "flv", "rm"}) {
            tqtest::ToneSpec spec;
            spec.withVideo = std::string(extension) == "avi";
            ASSERT_TRUE(tqtest::MakeToneFile(Base(extension), spec)) << extension;
        }
    }
    static void TearDownTestSuite() { s_folder.reset(); }

    static std::string Base(const std::string &extension)
    {
        return s_folder->File("base." + extension);
    }
    static std::string File(const std::string &name) { return s_folder->File(name); }

    static std::unique_ptr<tqtest::TestFolder> s_folder;
};

std::unique_ptr<tqtest::TestFolder> EvcRobustness::s_folder;

// A failed run: exit 2, one line on standard error, and no output file left behind.
void ExpectCleanFailure(const EvcRun &run, const std::string &output, const std::string &what)
{
    EXPECT_EQ(run.exitCode, 2) << what << ": " << run.errors;
    EXPECT_TRUE(IsOneClearLine(run.errors)) << what << ": " << run.errors;
    EXPECT_FALSE(std::filesystem::exists(output)) << what;
    EXPECT_FALSE(std::filesystem::exists(PartialOutputPath(output))) << what;
}

TEST_F(EvcRobustness, BrokenAndDisguisedInputsFailCleanly)
{
    const std::string wav = tqtest::ReadWholeFile(Base("wav"));
    const std::string mp3 = tqtest::ReadWholeFile(Base("mp3"));
    struct Bad
    {
        std::string name;
        std::string bytes;
    };
    const std::vector<Bad> files = {
        {"empty.mp3", ""},
        {"empty.wav", ""},
        {"zeros.mp3", std::string(4096, '\0')},
        {"zeros.avi", std::string(4096, '\0')},
        {"zeros.m4a", std::string(65536, '\0')},
        {"zeros.wav", std::string(4096, '\0')},
        {"text.mp3", "Just a text file, no media in it.\n"},
        {"list.avi",
         "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\n" + Base("mp3") + "\n#EXT-X-ENDLIST\n"},
        {"list.mp3", "ffconcat version 1.0\nfile '" + Base("mp3") + "'\n"},
        {"session.mp4", "v=0\no=- 0 0 IN IP4 127.0.0.1\ns=x\nc=IN IP4 127.0.0.1\nt=0 0\n"
                        "m=audio 5004 RTP/AVP 0\n"},
        {"head.wav", wav.substr(0, 40)},
        {"head.mp3", mp3.substr(0, 30)},
        {"head.m4a", tqtest::ReadWholeFile(Base("m4a")).substr(0, 64)},
        {"head.ogg", tqtest::ReadWholeFile(Base("ogg")).substr(0, 50)},
    };
    std::vector<std::vector<std::string>> jobs;
    std::vector<std::string> outputs;
    for (const Bad &bad : files) {
        tqtest::WriteWholeFile(File(bad.name), bad.bytes);
        outputs.push_back(File("bad-" + bad.name + ".mp3"));
        jobs.push_back({"-y", "-i", File(bad.name), outputs.back()});
    }
    // A folder, a missing file, and a name that would otherwise join two files.
    std::filesystem::create_directory(File("folder.mp3"));
    for (const std::string &input :
         {File("folder.mp3"), File("missing.mp3"), "concat:" + Base("mp3") + "|" + Base("mp3")}) {
        outputs.push_back(File("bad-" + std::to_string(outputs.size()) + ".mp3"));
        jobs.push_back({"-y", "-i", input, outputs.back()});
    }
    const std::vector<EvcRun> runs = RunEvcBatch(jobs, 60);
    for (size_t i = 0; i < runs.size(); ++i)
        ExpectCleanFailure(runs[i], outputs[i], jobs[i][2]);
    EXPECT_NE(runs[7].errors.find("not a media file"), std::string::npos) << runs[7].errors;
}

TEST_F(EvcRobustness, AudioThatMostlyFailsToDecodeIsRefused)
{
    // Noise in place of the audio, as in protected or badly damaged files: a few packets that
    // happen to decode must not pass for a converted file. Some damage is converted around.
    struct Case
    {
        std::string base;
        double scrambled;
        bool converts;
    };
    const std::vector<Case> cases = {
        {"m4a", 1.0, false},
        {"ogg", 1.0, false},
        {"m4a", 0.2, true},
        {"ogg", 0.2, true},
    };
    std::vector<std::vector<std::string>> jobs;
    std::vector<std::string> outputs;
    for (size_t i = 0; i < cases.size(); ++i) {
        const std::string input = File("scrambled" + std::to_string(i) + "." + cases[i].base);
        ASSERT_TRUE(ScramblePackets(Base(cases[i].base), input, cases[i].scrambled));
        outputs.push_back(File("scrambled" + std::to_string(i) + ".wav"));
        jobs.push_back({"-y", "-i", input, outputs.back()});
    }
    // A WMA file whose header declares its content encrypted, as protected downloads do.
    std::string wma = tqtest::ReadWholeFile(Base("wma"));
    ASSERT_GT(wma.size(), 30u);
    std::string encryption("\xFB\xB3\x11\x22\x23\xBD\xD2\x11\xB4\xB7\x00\xA0\xC9\x55\xFC\x6E", 16);
    encryption += std::string("\x28\0\0\0\0\0\0\0", 8) + std::string(16, '\0');
    wma.insert(30, encryption);
    uint64_t headerSize = 0;
    for (int i = 7; i >= 0; --i)
        headerSize = headerSize << 8 | uint8_t(wma[size_t(16 + i)]);
    headerSize += encryption.size();
    for (int i = 0; i < 8; ++i)
        wma[size_t(16 + i)] = char(headerSize >> (8 * i) & 0xFF);
    wma[24] = char(wma[24] + 1); // object count
    tqtest::WriteWholeFile(File("protected.wma"), wma);
    outputs.push_back(File("protected.wav"));
    jobs.push_back({"-y", "-i", File("protected.wma"), outputs.back()});

    const std::vector<EvcRun> runs = RunEvcBatch(jobs, 60);
    const EvcRun &protectedRun = runs.back();
    ExpectCleanFailure(protectedRun, outputs.back(), "protected.wma");
    EXPECT_NE(protectedRun.errors.find("digital rights"), std::string::npos) << protectedRun.errors;
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(jobs[i][2]);
        if (cases[i].converts) {
            EXPECT_EQ(runs[i].exitCode, 0) << runs[i].errors;
            EXPECT_GT(InspectAudio(outputs[i]).Seconds(), 0.7);
        } else {
            ExpectCleanFailure(runs[i], outputs[i], jobs[i][2]);
            EXPECT_NE(runs[i].errors.find("cannot be decoded"), std::string::npos)
                << runs[i].errors;
        }
    }
}

TEST_F(EvcRobustness, MutatedInputsNeverCrashOrHang)
{
    std::mt19937 random(20261209);
    const std::vector<std::string> bases = {"wav", "mp3", "m4a", "ogg", "avi", "wma", "flv", "rm"};
    std::vector<std::vector<std::string>> jobs;
    std::vector<std::string> outputs;
    for (int i = 0; i < 224; ++i) {
        const std::string &base = bases[size_t(i) % bases.size()];
        std::string bytes = tqtest::ReadWholeFile(Base(base));
        const int kind = i / int(bases.size()) % 3;
        if (kind == 0) { // scattered byte changes
            const int changes = 1 + int(random() % 24);
            for (int c = 0; c < changes; ++c)
                bytes[random() % bytes.size()] = char(random());
        } else if (kind == 1) { // a block of noise, often over the header
            const size_t at = random() % 2 ? random() % 256 : random() % bytes.size();
            for (size_t k = at; k < std::min(bytes.size(), at + 1 + random() % 512); ++k)
                bytes[k] = char(random());
        } else { // cut short
            bytes.resize(random() % bytes.size());
        }
        const std::string input = File("mutant" + std::to_string(i) + "." + base);
        tqtest::WriteWholeFile(input, bytes);
        outputs.push_back(
            File("mutant" + std::to_string(i) + "-out." + kOutputExtensions[size_t(i) % 7]));
        jobs.push_back({"-y", "-i", input, outputs.back()});
    }
    const std::vector<EvcRun> runs = RunEvcBatch(jobs, 60);
    int converted = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(jobs[i][2] + " -> " + outputs[i]);
        if (runs[i].exitCode == 0) {
            ++converted;
            const AudioFacts facts = InspectAudio(outputs[i]);
            EXPECT_TRUE(facts.ok) << facts.error;
        } else {
            ExpectCleanFailure(runs[i], outputs[i], jobs[i][2]);
        }
        std::filesystem::remove(jobs[i][2]);
    }
    // Most damaged files still hold audio worth converting; some must have been refused.
    EXPECT_GT(converted, 50);
    EXPECT_LT(converted, int(runs.size()));
}

TEST_F(EvcRobustness, AwkwardFileNamesWork)
{
    const std::string name = "blank 'single' \"double\" $HOME `x` ünïcödé";
    std::filesystem::copy_file(Base("wav"), File(name + ".wav"));
    std::filesystem::copy_file(Base("wav"), File("-dash in.wav"));
    const std::vector<EvcRun> runs = RunEvcBatch({
        {"-y", "-i", File(name + ".wav"), "-acodec", "mp3", "-vn", File(name + ".mp3")},
    });
    ASSERT_EQ(runs[0].exitCode, 0) << runs[0].errors;
    EXPECT_TRUE(InspectAudio(File(name + ".mp3")).ok);
    // Names that begin with a dash, relative to the working folder.
    const EvcRun dash = RunEvc({"-y", "-i", "-dash in.wav", "-dash out.ogg"}, 60, s_folder->Path());
    ASSERT_EQ(dash.exitCode, 0) << dash.errors;
    EXPECT_TRUE(InspectAudio(File("-dash out.ogg")).ok);
}

TEST_F(EvcRobustness, RefusedRequestsLeaveFilesAlone)
{
    const std::string existing = File("existing.mp3");
    tqtest::WriteWholeFile(existing, "keep me");
    const std::string wav = Base("wav");
    const std::string wavBytes = tqtest::ReadWholeFile(wav);

    const std::vector<EvcRun> runs = RunEvcBatch({
        {"-i", wav, existing},                                   // 0: exists, no -y
        {"-y", "-i", wav, "-ss", "00:00:05", File("late.mp3")},  // 1: start past the end
        {"-y", "-i", wav, "-t", "0", File("nolength.mp3")},      // 2: no length
        {"-y", "-i", wav, "-t", "-30", File("negative.mp3")},    // 3: negative length
        {"-y", "-i", wav, File("no/such/folder/out.mp3")},       // 4: missing folder
        {"-y", "-i", wav, wav},                                  // 5: output is the input
        {"-y", "-i", wav, File("out.flac")},                     // 6: unknown output type
        {"-y", "-i", wav, "-acodec", "vorbis", File("out.mp3")}, // 7: codec the file cannot hold
        {"-y", "-i", wav, "-bogus", File("bogus.mp3")},          // 8: unknown option
        {"-y", "-i", wav, "-ar", "fast", File("rate.mp3")},      // 9: malformed number
    });
    ExpectCleanFailure(runs[0], File("none"), "existing");
    EXPECT_EQ(tqtest::ReadWholeFile(existing), "keep me");
    ExpectCleanFailure(runs[1], File("late.mp3"), "late start");
    EXPECT_NE(runs[1].errors.find("past the end"), std::string::npos);
    EXPECT_EQ(runs[2].exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(File("nolength.mp3")));
    EXPECT_EQ(runs[3].exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(File("negative.mp3")));
    ExpectCleanFailure(runs[4], File("no/such/folder/out.mp3"), "missing folder");
    EXPECT_EQ(runs[5].exitCode, 2);
    EXPECT_EQ(tqtest::ReadWholeFile(wav), wavBytes);
    ExpectCleanFailure(runs[6], File("out.flac"), "flac");
    ExpectCleanFailure(runs[7], File("out.mp3"), "vorbis in mp3");
    for (int i : {8, 9}) {
        EXPECT_EQ(runs[size_t(i)].exitCode, 1);
        EXPECT_TRUE(IsOneClearLine(runs[size_t(i)].errors));
        EXPECT_NE(runs[size_t(i)].errors.find("usage: evc"), std::string::npos);
    }
    EXPECT_NE(runs[8].errors.find("-bogus"), std::string::npos);
    EXPECT_NE(runs[9].errors.find("fast"), std::string::npos);
}

TEST_F(EvcRobustness, KilledAtAnyMomentLeavesNoFileUnderTheOutputName)
{
    const std::string source = File("long.wav");
    tqtest::ToneSpec spec;
    spec.seconds = 30;
    ASSERT_TRUE(tqtest::MakeToneFile(source, spec));
    std::mt19937 random(12);
    // Kills fall between 5 % and 90 % of the time a whole run takes on this machine, however
    // fast or loaded it is, so nearly every one lands in the middle of a conversion.
    std::uniform_real_distribution<double> fraction(0.05, 0.9);
    int killed = 0;
    for (const char *extension : {"mp3", "m4a", "wav"}) {
        const std::string output = File(std::string("killed.") + extension);
        const auto started = std::chrono::steady_clock::now();
        ASSERT_EQ(RunEvc({"-y", "-i", source, output}).exitCode, 0);
        const double wholeMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                .count();
        std::filesystem::remove(output);
        for (int attempt = 0; attempt < 4; ++attempt) {
            const int delay = std::max(20, static_cast<int>(fraction(random) * wholeMs));
            SCOPED_TRACE(std::string(extension) + " killed after " + std::to_string(delay) + " ms");
            tqtest::ProgramOptions killedAfter;
            killedAfter.timeoutMs = delay;
            const int status =
                tqtest::RunProgram({EvcPath(), "-y", "-i", source, output}, killedAfter).exitCode;
            if (status == 0) { // finished first: complete
                EXPECT_NEAR(InspectAudio(output).Seconds(), 30.0, 0.1);
                std::filesystem::remove(output);
                continue;
            }
            EXPECT_EQ(status, 128 + 9);
            // Killed after the file took its name (while ending): then it is complete.
            if (std::filesystem::exists(output)) {
                EXPECT_NEAR(InspectAudio(output).Seconds(), 30.0, 0.1);
                std::filesystem::remove(output);
            } else {
                ++killed;
            }
        }
        // A run after the killed ones, with their leftover in the way, completes normally.
        const EvcRun whole = RunEvc({"-y", "-i", source, output});
        ASSERT_EQ(whole.exitCode, 0) << whole.errors;
        EXPECT_NEAR(InspectAudio(output).Seconds(), 30.0, 0.1);
        EXPECT_FALSE(std::filesystem::exists(PartialOutputPath(output)));
    }
    EXPECT_GT(killed, 3);
}

TEST_F(EvcRobustness, OutputThatAppearsWhileConvertingIsNotReplaced)
{
    // A slow conversion; the output's name is taken before it ends.
    const std::string source = File("slow.wav");
    tqtest::ToneSpec spec;
    spec.seconds = 60;
    ASSERT_TRUE(tqtest::MakeToneFile(source, spec));
    const std::string output = File("taken-meanwhile.ogg");
    std::thread intruder([&] {
        for (int wait = 0; wait < 6000 && !std::filesystem::exists(PartialOutputPath(output));
             ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        tqtest::WriteWholeFile(output, "the user's own file");
    });
    const EvcRun run = RunEvc({"-i", source, output});
    intruder.join();
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(IsOneClearLine(run.errors)) << run.errors;
    EXPECT_EQ(tqtest::ReadWholeFile(output), "the user's own file");
    EXPECT_FALSE(std::filesystem::exists(PartialOutputPath(output)));
}

} // namespace
} // namespace evctest
