// The real files of tests/media/real through the job list's duration probe and the real evc: each
// file gets the row length the job list would give it and is converted whole as the program
// converts an untrimmed row ("-ss 00:00:00 -t <row length>"). The row and the output must match
// the length of the audio really in the file (from the manifest, measured by decoding); a file
// without decodable audio must be refused, by the probe or by evc with one clear line.

#include "EvcRunner.h"
#include "MediaCheck.h"
#include "OutputTypes.h"
#include "TestFolder.h"
#include "joblist/JobListFunc.h"
#include "preview/AvProbeEngine.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace evctest {
namespace {

namespace fs = std::filesystem;

struct RealFile
{
    std::string name;
    std::optional<double> realSeconds; // none: no decodable audio
    std::string quirk;
};

// Test names and failure messages show the file's name, not the bytes of the record.
void PrintTo(const RealFile &file, std::ostream *stream)
{
    *stream << file.name;
}

std::vector<std::string> SplitTabs(const std::string &line)
{
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '\t'))
        fields.push_back(field);
    return fields;
}

std::vector<RealFile> ReadManifest()
{
    std::vector<RealFile> files;
    std::ifstream manifest(std::string(REAL_MEDIA_DIR) + "/manifest.tsv");
    std::string line;
    while (std::getline(manifest, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::vector<std::string> fields = SplitTabs(line);
        if (fields.size() < 4)
            continue;
        RealFile file{fields[0], std::nullopt, fields[3]};
        if (fields[1] != "none")
            file.realSeconds = std::stod(fields[1]);
        files.push_back(file);
    }
    return files;
}

const std::vector<RealFile> &Manifest()
{
    static const std::vector<RealFile> files = ReadManifest();
    return files;
}

std::string SourcePath(const RealFile &file)
{
    return std::string(REAL_MEDIA_DIR) + "/" + file.name;
}

// The slack allowed between a length and the real one: one second or 5 %, whichever is more.
double Slack(double realSeconds)
{
    return std::max(1.0, 0.05 * realSeconds);
}

// What the output may lack: encoder and resampler edges, or 5 % of a long file. A whole second
// would let a sub-second file vanish unnoticed.
double AllowedLoss(double realSeconds)
{
    return std::max(0.1, 0.05 * realSeconds);
}

// MP3, the output most people pick; its decoder honours the encoder's delay and padding, so the
// written length is exact.
const OutputType &Mp3()
{
    for (const OutputType &type : OutputTypes())
        if (type.extension == "mp3")
            return type;
    throw std::logic_error("no MP3 output type");
}

struct FileResult
{
    int64_t rowSeconds = 0; // as GetMediaDuration gives it: the row's Duration and -t
    bool converted = false; // false when the job list refused the file
    std::string outputPath;
    EvcRun run;
    AudioFacts facts;
};

// Probes every file and converts each one that got a row, two evc runs at a time.
class RealFiles : public ::testing::TestWithParam<RealFile>
{
protected:
    static void SetUpTestSuite()
    {
        s_folder = std::make_unique<tqtest::TestFolder>();
        std::vector<std::vector<std::string>> jobs;
        std::vector<FileResult *> jobResults;
        for (const RealFile &file : Manifest()) {
            FileResult &result = s_results[file.name];
            TAvProbeEngine engine;
            result.rowSeconds = TJobListFunc::GetMediaDuration(SourcePath(file), engine);
            if (result.rowSeconds <= 0)
                continue; // the job list refuses the file: no row, nothing to convert
            result.converted = true;
            result.outputPath = s_folder->File(file.name + ".mp3");
            std::vector<std::string> arguments =
                CatalogueCommand(SourcePath(file), Mp3(), "128", "2", "44100", result.outputPath);
            // An untrimmed row: from the start, for the row's whole length.
            arguments.insert(arguments.end() - 1,
                             {"-ss", "00:00:00", "-t", std::to_string(result.rowSeconds)});
            jobs.push_back(arguments);
            jobResults.push_back(&result);
        }
        const std::vector<EvcRun> runs = RunEvcBatch(jobs);
        for (size_t i = 0; i < runs.size(); ++i) {
            FileResult &result = *jobResults[i];
            result.run = runs[i];
            if (fs::exists(result.outputPath))
                result.facts = InspectAudio(result.outputPath);
        }
    }

    // One line per file with the figures, for reading a run at a glance.
    static void PrintSummary()
    {
        for (const RealFile &file : Manifest()) {
            const FileResult &result = s_results[file.name];
            const std::string real =
                file.realSeconds ? std::to_string(*file.realSeconds).substr(0, 7) : "none";
            std::printf("%-42s real %8s  row %5lld s", file.name.c_str(), real.c_str(),
                        static_cast<long long>(result.rowSeconds));
            if (result.converted)
                std::printf("  evc exit %d, %.3f s written", result.run.exitCode,
                            result.facts.Seconds());
            std::printf("\n");
        }
    }

    static void TearDownTestSuite()
    {
        PrintSummary();
        s_results.clear();
        s_folder.reset();
    }

    static std::unique_ptr<tqtest::TestFolder> s_folder;
    static std::map<std::string, FileResult> s_results;
};

std::unique_ptr<tqtest::TestFolder> RealFiles::s_folder;
std::map<std::string, FileResult> RealFiles::s_results;

std::string Describe(const RealFile &file)
{
    std::ostringstream text;
    text << file.name << " (" << file.quirk << "), real audio: ";
    if (file.realSeconds)
        text << *file.realSeconds << " s";
    else
        text << "none";
    return text.str();
}

void CheckWholeConversion(const RealFile &file, const FileResult &result)
{
    const double real = *file.realSeconds;
    ASSERT_GT(result.rowSeconds, 0) << "the job list refuses a file that holds audio";
    EXPECT_LE(std::abs(double(result.rowSeconds) - std::ceil(real)), Slack(real))
        << "the row length is not the real length rounded up to whole seconds";

    SCOPED_TRACE("evc said: " + result.run.errors);
    EXPECT_EQ(result.run.exitCode, 0);
    ASSERT_TRUE(result.facts.ok) << result.facts.error;
    const double written = result.facts.Seconds();
    EXPECT_GE(written, real - AllowedLoss(real))
        << "the conversion lost audio: " << written << " s written";
    EXPECT_LE(written, real + Slack(real))
        << "the conversion made up audio: " << written << " s written";
}

void CheckRefusal(const FileResult &result)
{
    if (!result.converted)
        return; // the job list already gave its reading warning
    SCOPED_TRACE("evc exit " + std::to_string(result.run.exitCode) +
                 ", evc said: " + result.run.errors);
    EXPECT_NE(result.run.exitCode, 0) << "evc reports success without any audio";
    EXPECT_TRUE(IsOneClearLine(result.run.errors));
    EXPECT_FALSE(fs::exists(result.outputPath)) << "evc left an output file behind";
}

// A file with audio gets a row as long as that audio, rounded up, and converts whole; a file
// without decodable audio is refused.
TEST_P(RealFiles, ConvertsWholeOrIsRefused)
{
    const RealFile &file = GetParam();
    const FileResult &result = s_results.at(file.name);
    SCOPED_TRACE(Describe(file) + ", row length: " + std::to_string(result.rowSeconds) + " s");
    if (file.realSeconds)
        CheckWholeConversion(file, result);
    else
        CheckRefusal(result);
}

std::string TestName(const ::testing::TestParamInfo<RealFile> &info)
{
    std::string name = info.param.name;
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Manifest, RealFiles, ::testing::ValuesIn(Manifest()), TestName);

// A segment that starts one second in, from files whose clocks cannot be trusted: timestamps
// that run slow, stand still, start again or start late, and AMR samples of several frames.
// Segments count on the player's clock, where the sound of some files begins after 0: the
// ASF's begins 0.387 s after its video.
TEST(RealFileSegments, StartOneSecondIntoTheAudio)
{
    const std::vector<std::pair<std::string, double>> files = {
        {"avi_length_field_too_large.avi", 0.0},
        {"swf_pcm_sound_stream.swf", 0.0},
        {"dvd_ac3.vob", 0.0},
        {"amr_nb_phone_camera_packed.3gp", 0.0},
        {"xing_claims_90_minutes.mp3", 0.0},
        {"adts_estimated_14s_holds_16s.aac", 0.0},
        {"wmav2_msmpeg4.asf", 0.387},
        {"realvideo1_ac3.rm", 0.0},
    };
    tqtest::TestFolder folder;
    std::vector<std::vector<std::string>> jobs;
    for (const auto &[name, soundStart] : files)
        jobs.push_back({"-y", "-i", std::string(REAL_MEDIA_DIR) + "/" + name, "-ss", "00:00:01",
                        "-t", "600", folder.File(name + ".wav")});
    const std::vector<EvcRun> runs = RunEvcBatch(jobs);
    for (size_t i = 0; i < files.size(); ++i) {
        const auto &[name, soundStart] = files[i];
        SCOPED_TRACE(name);
        const auto file = std::find_if(Manifest().begin(), Manifest().end(),
                                       [&](const RealFile &f) { return f.name == name; });
        ASSERT_NE(file, Manifest().end());
        ASSERT_EQ(runs[i].exitCode, 0) << runs[i].errors;
        // Within one codec frame of a slow clock's or a late stream's first timestamp.
        EXPECT_NEAR(InspectAudio(folder.File(name + ".wav")).Seconds(),
                    *file->realSeconds - (1.0 - soundStart), 0.1);
    }
}

TEST(RealFilesManifest, ListsEveryFileOfTheFolderAndNothingElse)
{
    std::vector<std::string> listed;
    for (const RealFile &file : Manifest())
        listed.push_back(file.name);
    std::vector<std::string> present;
    for (const auto &entry : fs::directory_iterator(REAL_MEDIA_DIR)) {
        const std::string name = entry.path().filename().string();
        if (name != "manifest.tsv" && name != "README.md")
            present.push_back(name);
    }
    std::sort(listed.begin(), listed.end());
    std::sort(present.begin(), present.end());
    EXPECT_EQ(listed, present);
    EXPECT_GE(listed.size(), 40u);
}

} // namespace
} // namespace evctest
