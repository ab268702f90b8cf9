// Real files through the job list's duration probe and the real evc: the 63 files of
// ../shared/media/real (lengths in the project's tests/media/real/manifest.tsv) and every file of
// ../shared/media/corpus (lengths in its EXPECTED.tsv). Each file gets the row the job list would
// give it and is converted as the program converts an untrimmed row. The row must show the length
// of the audio really in the file (measured by decoding) and the output must hold all of it; a
// file without decodable audio must be refused, by the probe or by evc with one clear line.

#include "EvcRunner.h"
#include "MediaCheck.h"
#include "OutputTypes.h"
#include "TestFolder.h"
#include "conversion/CommandBuilder.h"
#include "joblist/JobListFunc.h"
#include "preview/AvProbeEngine.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace evctest {
namespace {

namespace fs = std::filesystem;

const std::string kSharedMedia = SHARED_MEDIA_DIR;
const std::string kRealFolder = kSharedMedia + "/real";
const std::string kCorpusFolder = kSharedMedia + "/corpus";

struct RealFile
{
    std::string folder;
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

// Rows of a tab-separated table whose first field names a file and whose second gives its
// seconds of audio, or `noAudio`; `quirkColumn` says what the file is there for, when present.
std::vector<RealFile> ReadTable(const std::string &table, const std::string &folder,
                                const std::string &noAudio, size_t quirkColumn)
{
    std::vector<RealFile> files;
    std::ifstream stream(table);
    std::string line;
    while (std::getline(stream, line)) {
        const std::vector<std::string> fields = SplitTabs(line);
        if (fields.size() < 2 || line[0] == '#' || fields[0] == "file")
            continue;
        RealFile file{folder, fields[0], std::nullopt,
                      quirkColumn < fields.size() ? fields[quirkColumn] : "corpus"};
        if (fields[1] != noAudio)
            file.realSeconds = std::stod(fields[1]);
        files.push_back(file);
    }
    return files;
}

// The project's manifest of real/, then the corpus's EXPECTED.tsv (none when it is missing).
const std::vector<RealFile> &AllFiles()
{
    static const std::vector<RealFile> files = [] {
        std::vector<RealFile> all = ReadTable(REAL_MANIFEST, kRealFolder, "none", 3);
        const std::vector<RealFile> corpus =
            ReadTable(kCorpusFolder + "/EXPECTED.tsv", kCorpusFolder, "refuse", 99);
        all.insert(all.end(), corpus.begin(), corpus.end());
        return all;
    }();
    return files;
}

std::string SourcePath(const RealFile &file)
{
    return file.folder + "/" + file.name;
}

bool SharedMediaIsThere()
{
    return fs::is_directory(kRealFolder) && fs::is_directory(kCorpusFolder);
}

std::string MissingMediaText()
{
    return "needs the real media folder " + fs::weakly_canonical(kSharedMedia).string() +
           " (real/ and corpus/) beside the project";
}

// The rows a length may give: whole seconds, rounding up only what lies beyond 0.1 s, and at
// least one second for any audio. A length within 20 ms of a rounding edge may give either side
// of it, since the probe and the table measure to the millisecond in different ways.
std::vector<int64_t> RowsFor(double seconds)
{
    const auto row = [](double s) { return std::max<int64_t>(1, int64_t(std::ceil(s - 0.1))); };
    std::vector<int64_t> rows = {row(seconds - 0.02), row(seconds + 0.02)};
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

// How far the output may be from the audio in the file: encoder and resampler edges.
double AllowedDifference(double realSeconds)
{
    return std::max(0.15, 0.02 * realSeconds);
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
    int64_t rowSeconds = 0; // as GetMediaDuration gives it: the row's Duration and End Time
    bool converted = false; // false when the job list refused the file
    std::string outputPath;
    EvcRun run;
    AudioFacts facts;
};

// Probes the file and, where it gets a row, converts it as the command builder converts an
// untrimmed row: from the start to the row's End Time, which is its Duration.
FileResult ProbeAndConvert(const RealFile &file, const tqtest::TestFolder &folder)
{
    FileResult result;
    TAvProbeEngine engine;
    result.rowSeconds = TJobListFunc::GetMediaDuration(SourcePath(file), engine);
    if (result.rowSeconds <= 0)
        return result; // the job list refuses the file: no row, nothing to convert
    result.converted = true;
    result.outputPath = folder.File(file.name + ".mp3");
    std::vector<std::string> arguments =
        CatalogueCommand(SourcePath(file), Mp3(), "128", "2", "44100", result.outputPath);
    const std::string length =
        TCommandBuilder::EncoderLengthText(std::to_string(result.rowSeconds), true);
    arguments.insert(arguments.end() - 1, {"-ss", "00:00:00", "-t", length});
    result.run = RunEvc(arguments);
    if (fs::exists(result.outputPath))
        result.facts = InspectAudio(result.outputPath);
    return result;
}

std::string Describe(const RealFile &file, const FileResult &result)
{
    std::ostringstream text;
    text << file.name << " (" << file.quirk << "), real audio: ";
    if (file.realSeconds)
        text << *file.realSeconds << " s";
    else
        text << "none";
    text << ", row " << result.rowSeconds << " s";
    if (result.converted)
        text << ", evc exit " << result.run.exitCode << ", " << result.facts.Seconds()
             << " s written";
    return text.str();
}

void CheckWholeConversion(const RealFile &file, const FileResult &result)
{
    const double real = *file.realSeconds;
    ASSERT_GT(result.rowSeconds, 0) << "the job list refuses a file that holds audio";
    const std::vector<int64_t> rows = RowsFor(real);
    EXPECT_NE(std::find(rows.begin(), rows.end(), result.rowSeconds), rows.end())
        << "the row is not the real length rounded up beyond 0.1 s (" << rows.front() << " s)";

    SCOPED_TRACE("evc said: " + result.run.errors);
    EXPECT_EQ(result.run.exitCode, 0);
    ASSERT_TRUE(result.facts.ok) << result.facts.error;
    EXPECT_NEAR(result.facts.Seconds(), real, AllowedDifference(real))
        << "the conversion did not give the whole audio";
}

void CheckRefusal(const FileResult &result)
{
    if (!result.converted)
        return; // the job list already gave its reading warning
    EXPECT_NE(result.run.exitCode, 0) << "evc reports success without any audio";
    EXPECT_TRUE(IsOneClearLine(result.run.errors)) << result.run.errors;
    EXPECT_FALSE(fs::exists(result.outputPath)) << "evc left an output file behind";
}

// Without the real files every case is skipped, saying which folder it needs. The project's own
// manifest still lists the files of real/, so every shard of this program has cases to skip.
class RealFiles : public ::testing::TestWithParam<RealFile>
{
protected:
    void SetUp() override
    {
        if (!SharedMediaIsThere())
            GTEST_SKIP() << MissingMediaText();
    }
};

// A file with audio gets a row as long as that audio and converts whole; a file without
// decodable audio is refused. Each case runs one evc, so ctest can spread the files over
// several shards of this program.
TEST_P(RealFiles, ConvertsWholeOrIsRefused)
{
    const RealFile &file = GetParam();
    tqtest::TestFolder folder;
    const FileResult result = ProbeAndConvert(file, folder);
    SCOPED_TRACE(Describe(file, result));
    std::printf("%s\n", Describe(file, result).c_str());
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

INSTANTIATE_TEST_SUITE_P(Shared, RealFiles, ::testing::ValuesIn(AllFiles()), TestName);

// A segment that starts one second in, from files whose clocks cannot be trusted: timestamps
// that run slow, stand still, start again or start late, and AMR samples of several frames.
// Segments count on the player's clock, where the sound of some files begins after 0: the
// ASF's begins 0.387 s after its video.
TEST(RealFileSegments, StartOneSecondIntoTheAudio)
{
    if (!SharedMediaIsThere())
        GTEST_SKIP() << MissingMediaText();
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
        jobs.push_back({"-y", "-i", kRealFolder + "/" + name, "-ss", "00:00:01", "-t", "600",
                        folder.File(name + ".wav")});
    const std::vector<EvcRun> runs = RunEvcBatch(jobs);
    for (size_t i = 0; i < files.size(); ++i) {
        const auto &[name, soundStart] = files[i];
        SCOPED_TRACE(name);
        const auto file = std::find_if(AllFiles().begin(), AllFiles().end(),
                                       [&](const RealFile &f) { return f.name == name; });
        ASSERT_NE(file, AllFiles().end());
        ASSERT_EQ(runs[i].exitCode, 0) << runs[i].errors;
        // Within one codec frame of a slow clock's or a late stream's first timestamp.
        EXPECT_NEAR(InspectAudio(folder.File(name + ".wav")).Seconds(),
                    *file->realSeconds - (1.0 - soundStart), 0.1);
    }
}

// The tables list every media file of both folders and nothing else, so no file goes untested.
TEST(RealFilesTables, ListEveryFileOfTheFoldersAndNothingElse)
{
    if (!SharedMediaIsThere())
        GTEST_SKIP() << MissingMediaText();
    const std::vector<std::string> notMedia = {"manifest.tsv", "README.md", "MANIFEST.tsv",
                                               "EXPECTED.tsv"};
    std::vector<std::string> listed;
    for (const RealFile &file : AllFiles())
        listed.push_back(SourcePath(file));
    std::vector<std::string> present;
    for (const std::string &folder : {kRealFolder, kCorpusFolder}) {
        for (const auto &entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (std::find(notMedia.begin(), notMedia.end(), name) == notMedia.end())
                present.push_back(folder + "/" + name);
        }
    }
    std::sort(listed.begin(), listed.end());
    std::sort(present.begin(), present.end());
    EXPECT_EQ(listed, present);
    EXPECT_GE(listed.size(), 175u);
}

} // namespace
} // namespace evctest
