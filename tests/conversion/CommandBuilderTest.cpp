#include "conversion/CommandBuilder.h"

#include "ConversionFakes.h"
#include "TestFolder.h"
#include "conversion/ConversionState.h"
#include "conversion/ConvertParameterStruct.h"
#include "platform/CommandLine.h"
#include "support/AppFunc.h"
#include "support/FileFunc.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

constexpr const char *kProgramFolder = "/opt/tools/conv/";

class CommandBuilder : public ::testing::Test
{
protected:
    CommandBuilder()
        : appFunc(logFolder.Path()),
          builder(kProgramFolder, settings, fileFunc, appFunc, parameters, state)
    {
        outFolder = work.File("Out");
        settings.outputFolder = outFolder;
        rows.AppendRow(
            {"True", "/video/clip.avi", "1 KB", "00:03:00", "00:01:00", "00:02:30", "00:01:30"});
    }
    std::string Log() const { return tqtest::ReadWholeFile(appFunc.LogPath()); }

    tqtest::TestFolder logFolder;
    tqtest::TestFolder work;
    std::string outFolder;
    TAppFunc appFunc;
    TFileFunc fileFunc;
    tqtest::FakeSettings settings;
    tqtest::MemoryJobRows rows;
    TConvertParameterStruct parameters;
    TConversionState state;
    TCommandBuilder builder;
};

} // namespace

TEST_F(CommandBuilder, ReproducesTheMp3Example)
{
    settings.outputType = 2;
    EXPECT_EQ(builder.BuildCommandLine(rows, "/video/clip.avi"),
              "/opt/tools/conv/evc -y -i \"/video/clip.avi\" -acodec mp3 -vn -ab 128 -vol 100 "
              "-ac 2 -ar 44100 -ss 00:01:00 -t 90 \"" +
                  outFolder + "/clip.mp3\"");
    EXPECT_EQ(state.StartText, "00:01:00");
    EXPECT_EQ(state.LengthText, "90");
    EXPECT_TRUE(std::filesystem::is_directory(outFolder));
    EXPECT_NE(Log().find("|Output directory " + outFolder + "/\r\n"), std::string::npos);
}

TEST_F(CommandBuilder, ReproducesTheAmrExample)
{
    settings.outputType = 0;
    settings.items[TOptionList::AudioBitrate] = "16";
    EXPECT_EQ(builder.BuildCommandLine(rows, "/video/clip.avi"),
              "/opt/tools/conv/evc -y -i \"/video/clip.avi\" -acodec amr_nb -s 176x144 -b 128 "
              "-ab 16 -vol 100 -ac 1 -ar 8000 -ss 00:01:00 -t 90 \"" +
                  outFolder + "/clip.amr\"");
}

TEST_F(CommandBuilder, FillsTheSeventeenFields)
{
    settings.items.erase(TOptionList::FrameRate);
    builder.BuildCommandLine(rows, "/video/clip.avi");
    EXPECT_EQ(parameters.EncoderPath, "/opt/tools/conv/evc");
    EXPECT_EQ(parameters.SourceFile, "/video/clip.avi");
    EXPECT_EQ(parameters.CodecOption, " -acodec mp3 -vn");
    EXPECT_EQ(parameters.VideoBitrateOption, " -b 128");
    EXPECT_EQ(parameters.VideoSizeOption, " -s 176x144");
    EXPECT_EQ(parameters.FrameRateOption, " -r 25");
    EXPECT_EQ(parameters.AspectOption, " -aspect 4:3");
    EXPECT_EQ(parameters.SpareOption, "");
    EXPECT_EQ(parameters.AudioBitrateOption, " -ab 128");
    EXPECT_EQ(parameters.VolumeOption, " -vol 100");
    EXPECT_EQ(parameters.ChannelsOption, " -ac 2");
    EXPECT_EQ(parameters.SampleRateOption, " -ar 44100");
    EXPECT_EQ(parameters.FormatOption, "");
    EXPECT_EQ(parameters.SegmentOption, " -ss 00:01:00 -t 90");
    EXPECT_EQ(parameters.OutputFolder, outFolder + "/");
    EXPECT_EQ(parameters.OutputBaseName, "clip");
    EXPECT_EQ(parameters.OutputExtension, ".mp3");
}

TEST_F(CommandBuilder, ListsWithoutCurrentItemGiveTheDefaults)
{
    settings.items.clear();
    const std::string line = builder.BuildCommandLine(rows, "/video/clip.avi");
    EXPECT_NE(line.find(" -acodec mp3 -vn -ab 64  -ac 2 -ar 44100 -ss"), std::string::npos) << line;
    settings.outputType = 0;
    EXPECT_NE(builder.BuildCommandLine(rows, "/video/clip.avi")
                  .find(" -acodec amr_nb -s 320x240 -b 512 -ab 64  -ac 1 -ar 8000 -ss"),
              std::string::npos);
    settings.items[TOptionList::Channels] = "1 channel, Mono";
    settings.outputType = 6;
    EXPECT_NE(builder.BuildCommandLine(rows, "/video/clip.avi").find(" -ac 1 -ar 44100"),
              std::string::npos);
}

TEST_F(CommandBuilder, SegmentEdgeCases)
{
    tqtest::MemoryJobRows table;
    table.Add("/v/back.avi", "00:02:00", "00:01:30");
    table.Add("/v/bad.avi", "1:2", "00:00:40");
    table.Add("/v/whole.avi", "", "00:03:00");
    table.Add("/v/Case.avi", "00:00:10", "00:00:20");
    table.Add("/V/CASE.AVI", "00:00:05", "00:00:50");
    table.Add("/v/letters.avi", "00:0x:10", "00:01:00");

    EXPECT_EQ(builder.SegmentLengthOf(table, "/v/back.avi"), "-30");
    EXPECT_NE(builder.BuildCommandLine(table, "/v/back.avi").find(" -ss 00:02:00 -t -30 "),
              std::string::npos);
    EXPECT_EQ(builder.SegmentLengthOf(table, "/v/bad.avi"), "40");
    EXPECT_EQ(builder.SegmentLengthOf(table, "/v/letters.avi"), "60");
    EXPECT_EQ(builder.SegmentLengthOf(table, "/v/none.avi"), "");

    const std::string whole = builder.BuildCommandLine(table, "/v/whole.avi");
    EXPECT_EQ(whole.find(" -ss "), std::string::npos);
    EXPECT_EQ(whole.find(" -t "), std::string::npos);
    EXPECT_EQ(state.LengthText, "180");

    EXPECT_EQ(builder.StartTimeOf(table, "/v/case.avi"), "00:00:05");
    EXPECT_EQ(builder.SegmentLengthOf(table, "/v/Case.avi"), "45");
}

// A row shows its length rounded down within a tenth of a second, so a segment that ends at the
// row's Duration asks evc for a second more and the conversion reaches the end of the file; the
// progress window still counts the row's own length.
TEST_F(CommandBuilder, SegmentEndingAtTheDurationReachesTheEndOfTheFile)
{
    tqtest::MemoryJobRows table;
    table.Add("/v/whole.avi", "00:00:00", "00:00:10");
    table.Add("/v/tail.avi", "00:00:04", "00:00:10");
    EXPECT_NE(builder.BuildCommandLine(table, "/v/whole.avi").find(" -ss 00:00:00 -t 11 "),
              std::string::npos);
    EXPECT_EQ(state.LengthText, "10");
    EXPECT_NE(builder.BuildCommandLine(table, "/v/tail.avi").find(" -ss 00:00:04 -t 7 "),
              std::string::npos);
    EXPECT_NE(builder.BuildCommandLine(rows, "/video/clip.avi").find(" -t 90 "), std::string::npos);
}

TEST_F(CommandBuilder, TheSelectedCustomProfileIsWhatIsConvertedWith)
{
    settings.onApplyCustomProfile = [](tqtest::FakeSettings &s) {
        s.items[TOptionList::AudioBitrate] = "224";
        s.items[TOptionList::SampleRate] = "48000";
    };
    const std::string line = builder.BuildCommandLine(rows, "/video/clip.avi");
    EXPECT_EQ(settings.profileApplications, 1);
    EXPECT_NE(line.find(" -ab 224 -vol 100 -ac 2 -ar 48000 "), std::string::npos);
}

TEST_F(CommandBuilder, OutputFolderAndNames)
{
    settings.outputFolder = outFolder + "/";
    builder.BuildCommandLine(rows, "/video/clip.avi");
    EXPECT_EQ(parameters.OutputFolder, outFolder + "/");

    // An earlier output keeps its name; the new one gets _1, then _2.
    tqtest::WriteWholeFile(outFolder + "/clip.mp3", "earlier");
    EXPECT_EQ(platform::SplitCommandLine(builder.BuildCommandLine(rows, "/video/clip.avi")).back(),
              outFolder + "/clip_1.mp3");
    tqtest::WriteWholeFile(outFolder + "/clip_1.mp3", "earlier");
    EXPECT_EQ(platform::SplitCommandLine(builder.BuildCommandLine(rows, "/video/clip.avi")).back(),
              outFolder + "/clip_2.mp3");
    EXPECT_EQ(tqtest::ReadWholeFile(outFolder + "/clip.mp3"), "earlier");

    // A folder that cannot be created is logged, and the command is built all the same.
    tqtest::WriteWholeFile(work.File("file"), "x");
    settings.outputFolder = work.File("file") + "/sub";
    EXPECT_FALSE(builder.BuildCommandLine(rows, "/video/clip.avi").empty());
    EXPECT_NE(Log().find("|Output directory error. ->" + work.File("file") + "/sub/\r\n"),
              std::string::npos);
}

TEST_F(CommandBuilder, HostileFileNamesReachTheEncoderAsOneArgument)
{
    const std::vector<std::string> names = {"/music/a \"quoted\" name.avi",
                                            "/music/$(touch pwned) `id`.avi", "/music/-y -i x.avi",
                                            "/music/tr\\ailing\\.avi", "/music/K\xC3\xB6nig.avi"};
    settings.outputFolder = work.File("my out");
    for (const std::string &name : names) {
        rows.Add(name, "00:00:00", "00:00:05");
        const auto arguments = platform::SplitCommandLine(builder.BuildCommandLine(rows, name));
        ASSERT_EQ(arguments.size(), 20u) << name;
        EXPECT_EQ(arguments[0], "/opt/tools/conv/evc");
        EXPECT_EQ(arguments[3], name);
        EXPECT_EQ(arguments.back(), work.File("my out/") + TFileFunc::BaseName(name) + ".mp3");
    }
}

TEST(CommandBuilderPaths, AnEncoderPathWithABlankIsQuoted)
{
    tqtest::TestFolder folder;
    TAppFunc appFunc(folder.Path());
    TFileFunc fileFunc;
    tqtest::FakeSettings settings;
    settings.outputFolder = folder.File("out");
    TConvertParameterStruct parameters;
    TConversionState state;
    TCommandBuilder builder("/opt/my tools/", settings, fileFunc, appFunc, parameters, state);
    tqtest::MemoryJobRows rows;
    rows.Add("/v/a.wav");
    const std::string line = builder.BuildCommandLine(rows, "/v/a.wav");
    EXPECT_EQ(line.rfind("\"/opt/my tools/evc\" -y -i \"/v/a.wav\"", 0), 0u) << line;
    EXPECT_EQ(platform::SplitCommandLine(line)[0], "/opt/my tools/evc");
}
