// Damaged and hostile media through the duration probe and through evc: generated files of every
// source type, cut short, zero-filled in bursts, randomly mutated (seeded) and renamed to other
// extensions, plus an empty file, a folder, a pipe and a link to /dev/zero. Nothing may crash,
// hang or raise a sanitizer report; an unusable file gets one clear error line and a non-zero
// exit. TQ_ROBUSTNESS_SCALE=n makes n times as many damaged files per type.
#include "ChildRun.h"
#include "ProgramRun.h"
#include "TestFolder.h"
#include "TestMedia.h"
#include "TestText.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace fs = std::filesystem;

namespace {

constexpr int kProbeTimeoutMs = 20000;
constexpr int kEncoderTimeoutMs = 60000;

struct CorpusFile
{
    std::string path;
    std::string kind;    // intact, cut, zeroed, mutated, renamed, special
    bool intact = false; // a complete file of a type its name says
};

class CorpusMaker
{
public:
    CorpusMaker(const std::string &folder, unsigned seed) : m_folder(folder), m_random(seed) {}

    void AddDamagedCopies(const std::string &source, const std::string &extension,
                          const std::string &otherExtension, int scale)
    {
        const std::string bytes = tqtest::ReadWholeFile(source);
        const std::string stem = fs::path(source).stem().string();
        for (int i = 0; i < 2 * scale; ++i) {
            std::uniform_int_distribution<size_t> at(0, bytes.size());
            Write(stem + "-cut" + std::to_string(i) + "." + extension,
                  bytes.substr(0, at(m_random)), "cut");
        }
        Write(stem + "-cut1byte." + extension, bytes.substr(0, 1), "cut");
        for (int i = 0; i < scale; ++i)
            Write(stem + "-zeroed" + std::to_string(i) + "." + extension, ZeroBursts(bytes),
                  "zeroed");
        for (int i = 0; i < scale; ++i)
            Write(stem + "-mutated" + std::to_string(i) + "." + extension, Mutated(bytes),
                  "mutated");
        Write(stem + "-renamed." + otherExtension, bytes, "renamed");
    }

    void AddSpecials()
    {
        Write("empty.mp3", "", "special");
        fs::create_directory(m_folder + "folder.wav");
        files.push_back({m_folder + "folder.wav", "special", false});
        const std::string fifo = m_folder + "pipe.wav";
        ASSERT_EQ(tqtest::RunProgram({"mkfifo", fifo}).exitCode, 0);
        files.push_back({fifo, "special", false});
        fs::create_symlink("/dev/zero", m_folder + "zero.mp3");
        files.push_back({m_folder + "zero.mp3", "special", false});
        files.push_back({m_folder + "missing.mp3", "special", false});
    }

    std::vector<CorpusFile> files;

private:
    void Write(const std::string &name, const std::string &bytes, const std::string &kind)
    {
        tqtest::WriteWholeFile(m_folder + name, bytes);
        files.push_back({m_folder + name, kind, false});
    }

    std::string ZeroBursts(std::string bytes)
    {
        if (bytes.empty())
            return bytes;
        std::uniform_int_distribution<size_t> at(0, bytes.size() - 1);
        std::uniform_int_distribution<size_t> length(16, 4096);
        for (int burst = 0; burst < 3; ++burst) {
            const size_t start = at(m_random);
            const size_t end = std::min(bytes.size(), start + length(m_random));
            std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                      bytes.begin() + static_cast<std::ptrdiff_t>(end), '\0');
        }
        return bytes;
    }

    std::string Mutated(std::string bytes)
    {
        if (bytes.empty())
            return bytes;
        std::uniform_int_distribution<size_t> at(0, bytes.size() - 1);
        std::uniform_int_distribution<int> value(0, 255);
        const size_t changes = 8 + bytes.size() / 2000;
        for (size_t i = 0; i < changes; ++i)
            bytes[at(m_random)] = static_cast<char>(value(m_random));
        return bytes;
    }

    std::string m_folder;
    std::mt19937 m_random;
};

struct Figures
{
    int files = 0, probeOk = 0, probeErrors = 0, encoded = 0, refused = 0;
    int crashes = 0, hangs = 0, sanitizerReports = 0, unclearErrors = 0;
};

// Probes the files in helper processes; a helper that hangs is killed and the rest go on in a
// new one. Fills one result line per file.
std::vector<std::string> ProbeAll(const std::vector<CorpusFile> &files, Figures &figures)
{
    std::vector<std::string> results(files.size());
    size_t next = 0;
    while (next < files.size()) {
        std::vector<std::string> arguments{PROBE_HELPER};
        for (size_t i = next; i < files.size(); ++i)
            arguments.push_back(files[i].path);
        const tqtest::ChildResult run =
            tqtest::RunChild(arguments, "/", kProbeTimeoutMs, [](const std::string &piece) {
                return piece.find('\n') != std::string::npos;
            });
        EXPECT_TRUE(run.started) << run.output;
        if (!run.started)
            break;
        size_t current = next;
        bool inFile = false;
        for (const std::string &line : tqtest::NonEmptyLines(run.output)) {
            if (line.rfind("file ", 0) == 0) {
                current = next + std::stoul(line.substr(5));
                inFile = true;
            } else if (inFile && (line.rfind("ok ", 0) == 0 || line.rfind("error ", 0) == 0)) {
                results[current] = line;
                inFile = false;
            }
        }
        if (run.hung || run.exitCode != 0 || tqtest::HasSanitizerReport(run.output)) {
            figures.hangs += run.hung ? 1 : 0;
            figures.sanitizerReports += tqtest::HasSanitizerReport(run.output) ? 1 : 0;
            figures.crashes += (!run.hung && run.exitCode != 0) ? 1 : 0;
            ADD_FAILURE() << "probe of " << files[current].path << (run.hung ? " hung" : " failed")
                          << " (exit " << run.exitCode << "):\n"
                          << run.output.substr(0, 3000);
            next = current + 1;
        } else {
            next = files.size();
        }
    }
    return results;
}

const char *const kTargets[][2] = {{"mp3", ".mp3"},    {"aac", ".aac"},       {"ac3", ".ac3"},
                                   {"vorbis", ".ogg"}, {"pcm_s16le", ".wav"}, {"amr_nb", ".amr"},
                                   {"aac", ".m4a"}};

// One evc run with a short length; returns the output file when evc reported success.
std::string Encode(const CorpusFile &file, size_t index, const std::string &outputFolder,
                   Figures &figures)
{
    const auto &target = kTargets[index % (sizeof kTargets / sizeof kTargets[0])];
    const std::string output = outputFolder + "out" + std::to_string(index) + target[1];
    const tqtest::ChildResult run =
        tqtest::RunChild({tqtest::ProgramFolder() + "evc", "-y", "-i", file.path, "-acodec",
                          target[0], "-t", "1", output},
                         tqtest::ProgramFolder(), kEncoderTimeoutMs);
    EXPECT_TRUE(run.started) << run.output;
    const std::string where = file.path + " (" + target[0] + ")";
    if (tqtest::HasSanitizerReport(run.output)) {
        ++figures.sanitizerReports;
        ADD_FAILURE() << "sanitizer report from evc on " << where << ":\n"
                      << run.output.substr(0, 3000);
        return {};
    }
    if (run.hung) {
        ++figures.hangs;
        ADD_FAILURE() << "evc hung on " << where;
        return {};
    }
    if (run.exitCode != 0 && run.exitCode != 1 && run.exitCode != 2) {
        ++figures.crashes;
        ADD_FAILURE() << "evc ended with " << run.exitCode << " on " << where << ":\n"
                      << run.output;
        return {};
    }
    if (run.exitCode == 0) {
        ++figures.encoded;
        EXPECT_TRUE(fs::exists(output) && fs::file_size(output) > 0) << where;
        return output;
    }
    ++figures.refused;
    // One error line, the last one, and no other line that reads like an error.
    int errorLines = 0;
    const std::vector<std::string> lines = tqtest::NonEmptyLines(run.output);
    for (const std::string &line : lines)
        errorLines += line.rfind("evc: error", 0) == 0 ? 1 : 0;
    if (errorLines != 1 || lines.empty() || lines.back().rfind("evc: error", 0) != 0) {
        ++figures.unclearErrors;
        ADD_FAILURE() << "unclear error from evc on " << where << ":\n" << run.output;
    }
    return {};
}

TEST(MediaCorpusTest, DamagedAndHostileFilesGiveClearErrorsAndNothingWorse)
{
    ASSERT_FALSE(tqtest::ProgramFolder().empty()) << "TQ_PROGRAM_DIR is not set";
    tqtest::TestFolder sources;
    tqtest::TestFolder corpus;
    tqtest::TestFolder outputs;
    const int scale = tqtest::RobustnessScale();
    CorpusMaker maker(corpus.Path(), 20261209u);

    const std::vector<std::string> &extensions = tqtest::SourceExtensions();
    for (size_t i = 0; i < extensions.size(); ++i) {
        const std::string source = sources.File("tone-" + extensions[i] + "." + extensions[i]);
        tqtest::ToneSpec spec;
        spec.seconds = 2;
        spec.withVideo = i % 2 == 0;
        std::string error;
        ASSERT_TRUE(tqtest::MakeToneFile(source, spec, &error)) << error;
        maker.files.push_back({source, "intact", true});
        maker.AddDamagedCopies(source, extensions[i], extensions[(i + 7) % extensions.size()],
                               scale);
    }
    maker.AddSpecials();
    const std::vector<CorpusFile> &files = maker.files;

    Figures figures;
    figures.files = static_cast<int>(files.size());
    const std::vector<std::string> probes = ProbeAll(files, figures);
    for (size_t i = 0; i < files.size(); ++i) {
        const bool ok = probes[i].rfind("ok ", 0) == 0;
        figures.probeOk += ok ? 1 : 0;
        figures.probeErrors += ok ? 0 : 1;
        if (files[i].intact) {
            EXPECT_TRUE(ok && std::atoll(probes[i].c_str() + 3) > 0)
                << files[i].path << ": " << probes[i];
        }
        if (files[i].kind == "special" && !probes[i].empty()) {
            EXPECT_EQ(probes[i].rfind("error ", 0), 0u) << files[i].path << ": " << probes[i];
        }
    }

    std::vector<CorpusFile> encodedOutputs;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string output = Encode(files[i], i, outputs.Path(), figures);
        if (files[i].intact) {
            EXPECT_FALSE(output.empty()) << "evc refused the intact " << files[i].path;
        }
        // AMR is no source type, so the probe does not read it; its header must be there.
        if (!output.empty() && fs::path(output).extension() == ".amr")
            EXPECT_EQ(tqtest::ReadWholeFile(output).rfind("#!AMR\n", 0), 0u) << output;
        else if (!output.empty())
            encodedOutputs.push_back({output, "output", true});
    }
    // What evc called done is a file the probe reads, with a duration.
    const std::vector<std::string> outputProbes = ProbeAll(encodedOutputs, figures);
    for (size_t i = 0; i < encodedOutputs.size(); ++i) {
        EXPECT_EQ(outputProbes[i].rfind("ok ", 0), 0u)
            << encodedOutputs[i].path << ": " << outputProbes[i];
    }

    std::printf("media corpus: %d files; probe %d read, %d refused; evc %d encoded, %d refused; "
                "crashes %d, hangs %d, sanitizer reports %d, unclear errors %d\n",
                figures.files, figures.probeOk, figures.probeErrors, figures.encoded,
                figures.refused, figures.crashes, figures.hangs, figures.sanitizerReports,
                figures.unclearErrors);
    EXPECT_EQ(figures.crashes + figures.hangs + figures.sanitizerReports + figures.unclearErrors,
              0);
}

} // namespace
