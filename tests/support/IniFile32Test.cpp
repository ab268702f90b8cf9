#include "support/IniFile32.h"

#include "TestFolder.h"
#include "Unprivileged.h"
#include "support/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using tqtest::ReadWholeFile;
using tqtest::TestFolder;
using tqtest::WriteWholeFile;
using Names = std::vector<std::string>;

// The bytes of a file holding these lines, each ended by CR LF.
std::string Crlf(const std::vector<std::string> &lines)
{
    std::string bytes;
    for (const std::string &line : lines)
        bytes += line + "\r\n";
    return bytes;
}

Names SectionsOf(const TIniFile32 &ini)
{
    Names names;
    ini.ReadSections(&names);
    return names;
}

size_t EntryCount(const std::string &folder)
{
    return QDir(QString::fromStdString(folder))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
        .size();
}

TEST(IniFileWorkedExampleTest, SevenOperationsGiveTheseBytes)
{
    TestFolder folder;
    const std::string path = folder.File("example.ini");
    TIniFile32 ini(path);

    ini.WriteString("A", "x", "1");
    EXPECT_EQ(ReadWholeFile(path), Crlf({"", "[A]", "x=1"}));
    ini.WriteString("B", "y", "2");
    EXPECT_EQ(ReadWholeFile(path), Crlf({"", "[A]", "x=1", "", "[B]", "y=2"}));
    ini.WriteString("A", "z", "3");
    EXPECT_EQ(ReadWholeFile(path), Crlf({"", "[A]", "x=1", "", "z=3", "[B]", "y=2"}));
    ini.WriteString("a", "x", "9");
    EXPECT_EQ(ReadWholeFile(path), Crlf({"", "[A]", "x=9", "", "z=3", "[B]", "y=2"}));
    ini.WriteString("A", "X", "4");
    EXPECT_EQ(ReadWholeFile(path), Crlf({"", "[A]", "x=9", "", "z=3", "X=4", "[B]", "y=2"}));
    ini.EraseSection("A");
    EXPECT_EQ(ReadWholeFile(path), Crlf({"", "", "[B]", "y=2"}));
    ini.EraseSection("B");
    EXPECT_EQ(ReadWholeFile(path), "\r\n\r\n\r\n");
    EXPECT_EQ(EntryCount(folder.Path()), 1u) << "no temporary file may be left behind";
}

TEST(IniFileWorkedExampleTest, ProfileStoreAndCounterFiles)
{
    TestFolder folder;
    const std::string store = folder.File("UserProfileInfo.ini");
    const std::string counter = folder.File("UserProfileCount.ini");

    // Two additions, each a fresh instance as the program uses them.
    for (const auto &[name, value] :
         {std::pair<std::string, std::string>{"UserProfileInfo1", "1|1|2|5|1|2"},
          std::pair<std::string, std::string>{"Voice", "1|1|2|2|0|0"}}) {
        TIniFile32 count(counter);
        count.WriteInteger("count", "count", count.ReadInteger("count", "count", 0) + 1);
        TIniFile32(store).WriteString(name, name, value);
    }
    EXPECT_EQ(ReadWholeFile(store), Crlf({"", "[UserProfileInfo1]", "UserProfileInfo1=1|1|2|5|1|2",
                                          "", "[Voice]", "Voice=1|1|2|2|0|0"}));
    EXPECT_EQ(ReadWholeFile(counter), Crlf({"", "[count]", "count=2"}));
    EXPECT_EQ(TIniFile32(store).ReadString("Voice", "Voice", ""), "1|1|2|2|0|0");

    TIniFile32(store).EraseSection("UserProfileInfo1");
    EXPECT_EQ(ReadWholeFile(store), Crlf({"", "", "[Voice]", "Voice=1|1|2|2|0|0"}));
    TIniFile32(store).EraseSection("Voice");
    EXPECT_EQ(ReadWholeFile(store), "\r\n\r\n\r\n");
    EXPECT_EQ(SectionsOf(TIniFile32(store)), Names{});
}

TEST(IniFileReadTest, MissingFileReadsDefaultsAndIsNotCreated)
{
    TestFolder folder;
    const std::string path = folder.File("missing.ini");
    TIniFile32 ini(path);
    EXPECT_EQ(ini.ReadString("A", "x", "fallback"), "fallback");
    EXPECT_EQ(ini.ReadInteger("A", "x", 42), 42);
    EXPECT_EQ(SectionsOf(ini), Names{});
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path)));
}

TEST(IniFileReadTest, HeadersWithBlanksAreListedButNotFound)
{
    TestFolder folder;
    const std::string path = folder.File("blanks.ini");
    WriteWholeFile(path, Crlf({"  [Voice]  ", "a=1", "[ Voice ]", "b=2", "[Music]", "c=3"}));
    TIniFile32 ini(path);
    EXPECT_EQ(SectionsOf(ini), (Names{"Voice", "Voice", "Music"}));
    EXPECT_EQ(ini.ReadString("Voice", "a", "default"), "default");
    EXPECT_EQ(ini.ReadString("Voice", "b", "default"), "default");
    EXPECT_EQ(ini.ReadString(" Voice ", "b", "default"), "2");
    EXPECT_EQ(ini.ReadString("MUSIC", "c", "default"), "3");
}

TEST(IniFileReadTest, KeyLineRules)
{
    TestFolder folder;
    const std::string path = folder.File("keys.ini");
    WriteWholeFile(path, Crlf({"[S]", "key = value ", "empty=", "   ", ";x=1", "dup=first",
                               "dup=second", "Case=upper", "noequals", "after=blank line",
                               "later=", "later=ignored", "[T]", "key=other"}));
    TIniFile32 ini(path);
    EXPECT_EQ(ini.ReadString("S", "key", "d"), "value");
    EXPECT_EQ(ini.ReadString("S", "empty", "d"), "d");
    EXPECT_EQ(ini.ReadString("S", ";x", "d"), "1");
    EXPECT_EQ(ini.ReadString("S", "dup", "d"), "first");
    EXPECT_EQ(ini.ReadString("S", "case", "d"), "d");
    EXPECT_EQ(ini.ReadString("S", "Case", "d"), "upper");
    EXPECT_EQ(ini.ReadString("S", "after", "d"), "blank line") << "a blank line ends nothing";
    EXPECT_EQ(ini.ReadString("S", "later", "d"), "d") << "only the first line of a key counts";
    EXPECT_EQ(ini.ReadString("T", "key", "d"), "other");
    EXPECT_EQ(ini.ReadString("U", "key", "d"), "d");
}

TEST(IniFileReadTest, DuplicateSectionsUseTheFirstAndListBoth)
{
    TestFolder folder;
    const std::string path = folder.File("dup.ini");
    WriteWholeFile(path, Crlf({"[A]", "x=1", "[A]", "x=2", "y=3"}));
    TIniFile32 ini(path);
    EXPECT_EQ(SectionsOf(ini), (Names{"A", "A"}));
    EXPECT_EQ(ini.ReadString("A", "x", ""), "1");
    EXPECT_EQ(ini.ReadString("A", "y", "d"), "d");
    ini.WriteString("A", "z", "4");
    EXPECT_EQ(ReadWholeFile(path), Crlf({"[A]", "x=1", "z=4", "[A]", "x=2", "y=3"}));
    ini.EraseSection("A");
    EXPECT_EQ(ReadWholeFile(path), Crlf({"[A]", "x=2", "y=3"}));
}

TEST(IniFileReadTest, ReadIntegerForms)
{
    TestFolder folder;
    const std::string path = folder.File("numbers.ini");
    WriteWholeFile(path, Crlf({"[N]", "hex=0x1F", "dollar=$1F", "bad=12abc", "neg=-7", "plus=+5",
                               "big=2147483648", "max=2147483647", "min=-2147483648", "x=0x",
                               "upper=0X10", "allbits=$FFFFFFFF", "dollaronly=$"}));
    TIniFile32 ini(path);
    EXPECT_EQ(ini.ReadInteger("N", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "dollar", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "bad", 99), 99);
    EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -7);
    EXPECT_EQ(ini.ReadInteger("N", "plus", 0), 5);
    EXPECT_EQ(ini.ReadInteger("N", "big", 99), 99);
    EXPECT_EQ(ini.ReadInteger("N", "max", 0), 2147483647);
    EXPECT_EQ(ini.ReadInteger("N", "min", 0), -2147483647 - 1);
    EXPECT_EQ(ini.ReadInteger("N", "x", 99), 99);
    EXPECT_EQ(ini.ReadInteger("N", "upper", 0), 16);
    EXPECT_EQ(ini.ReadInteger("N", "allbits", 0), -1);
    EXPECT_EQ(ini.ReadInteger("N", "dollaronly", 99), 99);
    EXPECT_EQ(ini.ReadInteger("N", "absent", 99), 99);
}

TEST(IniFileReadTest, LineEndsAndNulByte)
{
    TestFolder folder;
    const std::string path = folder.File("ends.ini");
    WriteWholeFile(path, std::string("[A]\rx=1\ny=2\r\n\r\nz=3\n\rw=4") + '\0' + "\r\n[B]\r\nq=1");
    TIniFile32 ini(path);
    EXPECT_EQ(ini.GetLines(), (Names{"[A]", "x=1", "y=2", "", "z=3", "", "w=4"}));
    EXPECT_EQ(SectionsOf(ini), Names{"A"}) << "reading stops at the NUL byte";
    EXPECT_EQ(ini.ReadString("A", "w", ""), "4");

    ini.WriteString("A", "v", "5");
    EXPECT_EQ(ReadWholeFile(path), Crlf({"[A]", "x=1", "y=2", "", "z=3", "", "w=4", "v=5"}));
}

TEST(IniFileReadTest, UnterminatedLastLineAndEmptyFile)
{
    TestFolder folder;
    WriteWholeFile(folder.File("last.ini"), "[A]\r\nx=1");
    EXPECT_EQ(TIniFile32(folder.File("last.ini")).GetLines(), (Names{"[A]", "x=1"}));
    WriteWholeFile(folder.File("empty.ini"), "");
    EXPECT_EQ(TIniFile32(folder.File("empty.ini")).GetLines(), Names{});
    WriteWholeFile(folder.File("one.ini"), "\r\n");
    EXPECT_EQ(TIniFile32(folder.File("one.ini")).GetLines(), Names{""});
}

TEST(IniFileWriteTest, EmptySectionNameAndEmptyKey)
{
    TestFolder folder;
    const std::string path = folder.File("empty.ini");
    TIniFile32 ini(path);
    ini.WriteString("", "", "ignored");
    EXPECT_EQ(ReadWholeFile(path), Crlf({"", "[]"}));
    EXPECT_EQ(SectionsOf(ini), Names{""});

    // An existing section with an empty key changes nothing but still rewrites the file.
    WriteWholeFile(path, "changed outside");
    ini.WriteString("", "", "ignored");
    EXPECT_EQ(ReadWholeFile(path), Crlf({"", "[]"}));
}

TEST(IniFileWriteTest, NewKeyGoesBeforeTheNextHeaderAfterItsEmptyLines)
{
    TestFolder folder;
    const std::string path = folder.File("insert.ini");
    WriteWholeFile(path, Crlf({"[A]", "x=1", "", "", "[B]", "y=2"}));
    TIniFile32 ini(path);
    ini.WriteString("A", "n", "new value with = and  blanks ");
    ini.WriteString("B", "n", "at end");
    ini.WriteInteger("B", "y", -12);
    EXPECT_EQ(ReadWholeFile(path), Crlf({"[A]", "x=1", "", "", "n=new value with = and  blanks ",
                                         "[B]", "y=-12", "n=at end"}));
}

TEST(IniFileWriteTest, EraseMissingSectionDoesNotRewrite)
{
    TestFolder folder;
    const std::string path = folder.File("keep.ini");
    const std::string original = "[A]\nx=1\n"; // LF ends: any rewrite would turn them into CR LF
    WriteWholeFile(path, original);
    TIniFile32 ini(path);
    ini.EraseSection("B");
    EXPECT_EQ(ReadWholeFile(path), original);
    ini.EraseSection("A");
    EXPECT_EQ(ReadWholeFile(path), "");
}

TEST(IniFileWriteTest, ReadsTheFileOnlyWhenCreated)
{
    TestFolder folder;
    const std::string path = folder.File("stale.ini");
    TIniFile32 first(path);
    TIniFile32(path).WriteString("Other", "k", "v");
    first.WriteString("Mine", "k", "v");
    EXPECT_EQ(ReadWholeFile(path), Crlf({"", "[Mine]", "k=v"}));
}

TEST(IniFileWriteTest, KeepsThePermissionsOfTheReplacedFile)
{
    TestFolder folder;
    const std::string path = folder.File("mode.ini");
    WriteWholeFile(path, Crlf({"[A]"}));
    const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    const auto modeBits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                          QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                          QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QFile::setPermissions(QString::fromStdString(path), mode);
    TIniFile32(path).WriteString("A", "x", "1");
    EXPECT_EQ(QFile::permissions(QString::fromStdString(path)) & modeBits, mode);
}

TEST(IniFileErrorTest, WritingIntoAMissingFolderFailsAndCreatesNothing)
{
    TestFolder folder;
    const std::string path = folder.File("Config/settings.ini");
    TIniFile32 ini(path);
    try {
        ini.WriteString("A", "x", "1");
        FAIL() << "no error raised";
    } catch (const EFCreateError &error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + path + "\". No such file or directory");
    }
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(folder.File("Config"))));
    EXPECT_EQ(ini.GetLines(), (Names{"", "[A]", "x=1"})) << "the change stays in the lines";
}

TEST(IniFileErrorTest, UnreadableFileRaisesTheOpenError)
{
    TestFolder folder;
    // A path below a regular file exists for nobody; a folder in the file's place cannot be read
    // as a file whoever runs the test.
    const std::string path = folder.File("folder.ini");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(path)));
    WriteWholeFile(folder.File("folder.ini/inner"), "x");
    // A folder is not a settings file: it reads as missing, and writing it fails.
    TIniFile32 ini(path);
    EXPECT_EQ(SectionsOf(ini), Names{});
    EXPECT_THROW(ini.WriteString("A", "x", "1"), EFCreateError);

    const std::string locked = folder.File("locked.ini");
    WriteWholeFile(locked, "[A]\r\n");
    QFile::setPermissions(QString::fromStdString(locked), QFileDevice::Permissions());
    tqtest::RunWithFilePermissionsEnforced([&] {
        try {
            TIniFile32 unreadable(locked);
            FAIL() << "no error raised";
        } catch (const EFOpenError &error) {
            EXPECT_EQ(std::string(error.what()),
                      "Cannot open file \"" + locked + "\". Permission denied");
        }
    });
}

TEST(IniFileErrorTest, WriteProtectedFileIsNotReplaced)
{
    TestFolder folder;
    const std::string path = folder.File("protected.ini");
    WriteWholeFile(path, Crlf({"[A]", "x=1"}));
    QFile::setPermissions(QString::fromStdString(path),
                          QFileDevice::ReadOwner | QFileDevice::ReadUser);
    tqtest::RunWithFilePermissionsEnforced([&] {
        TIniFile32 ini(path);
        EXPECT_THROW(ini.WriteString("A", "x", "2"), EFCreateError);
    });
    EXPECT_EQ(ReadWholeFile(path), Crlf({"[A]", "x=1"}));
}

TEST(IniFileErrorTest, ReadSectionsWithoutATargetIsAnAssertion)
{
    TestFolder folder;
    TIniFile32 ini(folder.File("a.ini"));
    try {
        ini.ReadSections(nullptr);
        FAIL() << "no assertion raised";
    } catch (const EAssertionFailed &error) {
        EXPECT_EQ(std::string(error.what()).rfind("Param Strings must be assigned (", 0), 0u)
            << error.what();
        EXPECT_NE(std::string(error.what()).find("IniFile32"), std::string::npos);
    }
}

} // namespace
