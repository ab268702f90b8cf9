// Inputs that the fuzz targets found breaking a parser, kept so the fault stays mended.
#include "TestFolder.h"
#include "support/IniFile32.h"
#include "support/StrFunc.h"

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

} // namespace
