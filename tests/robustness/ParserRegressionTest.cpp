// Inputs that the fuzz targets found breaking a parser, kept so the fault stays mended.
#include "ConversionFakes.h"
#include "TestFolder.h"
#include "conversion/CommandBuilder.h"
#include "conversion/ConversionState.h"
#include "conversion/ConvertParameterStruct.h"
#include "platform/CommandLine.h"
#include "preview/SegmentSelection.h"
#include "support/AppFunc.h"
#include "support/FileFunc.h"
#include "support/IniFile32.h"
#include "support/StrFunc.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// Bytes that are not UTF-8 (a hand-edited file in an 8-bit code page) must not make different
// section names one: each would decode to the same replacement character.
TEST(ParserRegressionTest, SectionNamesThatAreNotUtf8StayApart)
{
    tqtest::TestFolder folder;
    const std::string path = folder.File("latin1.ini");
    {
        TIniFile32 ini(path);
        ini.WriteString("\xef", "k", "first");
    }
    TIniFile32 ini(path);
    ini.WriteString("\xff", "k", "second");

    std::vector<std::string> sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(sections, (std::vector<std::string>{"\xef", "\xff"}));
    EXPECT_EQ(TIniFile32(path).ReadString("\xef", "k", ""), "first");
    EXPECT_EQ(TIniFile32(path).ReadString("\xff", "k", ""), "second");
}

TEST(ParserRegressionTest, TextsThatAreNotUtf8CompareByBytesIgnoringAsciiCase)
{
    EXPECT_FALSE(TStrFunc::SameText("caf\xe9", "caf\xe8"));
    EXPECT_TRUE(TStrFunc::SameText("CAF\xe9", "caf\xe9"));
    EXPECT_FALSE(TStrFunc::SameText("caf\xc3\xa9", "caf\xe9"));
    EXPECT_TRUE(TStrFunc::SameText("Caf\xc3\xa9", "cAF\xc3\x89"));
}

// A time text with parts far beyond any duration is no time: it counts as 0 instead of
// overflowing the seconds.
TEST(ParserRegressionTest, HugeTimePartsCountAsNoTime)
{
    tqtest::MemoryJobRows rows;
    rows.Add("/media/a.mp3", "00:00:00", "9223372036854775807:00:00");
    EXPECT_EQ(TSegmentSelection::CutLength(rows, "/media/a.mp3"), 0);
    rows.SetCellText(0, JobColumn::EndTime, "00:00:00");
    rows.SetCellText(0, JobColumn::StartTime, "-9223372036854775807:00:00");
    EXPECT_EQ(TSegmentSelection::CutLength(rows, "/media/a.mp3"), 0);
    rows.SetCellText(0, JobColumn::StartTime, "999999999999:00:00");
    rows.SetCellText(0, JobColumn::EndTime, "999999999999:59:59");
    EXPECT_EQ(TSegmentSelection::CutLength(rows, "/media/a.mp3"), 3599);
}

// The segment start is a cell's text; whatever it holds, it stays one argument and the
// output path stays the last one.
TEST(ParserRegressionTest, StartTimeTextCannotReshapeTheCommandLine)
{
    tqtest::TestFolder program;
    tqtest::TestFolder media;
    tqtest::FakeSettings settings;
    settings.outputFolder = media.File("out");
    tqtest::MemoryJobRows rows;
    const std::string source = media.File("a.mp3");
    rows.Add(source, "rf\" -acodec vorbis \"x", "00:00:09");
    TFileFunc fileFunc;
    const TAppFunc appFunc(program.Path());
    TConvertParameterStruct parameters;
    TConversionState state;
    TCommandBuilder builder(program.Path(), settings, fileFunc, appFunc, parameters, state);

    const std::vector<std::string> arguments =
        platform::SplitCommandLine(builder.BuildCommandLine(rows, source));
    ASSERT_GE(arguments.size(), 6u);
    EXPECT_EQ(arguments[3], source);
    EXPECT_EQ(arguments.back(), media.File("out/a.mp3"));
    const auto ss = std::find(arguments.begin(), arguments.end(), "-ss");
    ASSERT_NE(ss, arguments.end());
    EXPECT_EQ(*(ss + 1), "rf\" -acodec vorbis \"x");
    EXPECT_EQ(std::count(arguments.begin(), arguments.end(), "vorbis"), 0);
}

} // namespace
