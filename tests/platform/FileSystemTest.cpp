#include "platform/FileSystem.h"

#include "TestFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using tqtest::TestFolder;

QString Q(const std::string &text)
{
    return QString::fromStdString(text);
}

TEST(PlatformFoldersTest, ProgramAndHomeFolders)
{
    EXPECT_EQ(platform::ProgramFolder(),
              QCoreApplication::applicationDirPath().toStdString() + "/");
    const char *home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    std::string expected = home;
    if (expected.back() != '/')
        expected += '/';
    EXPECT_EQ(platform::HomeFolder(), expected);
    EXPECT_EQ(platform::DefaultOutputFolder(), expected + "tonequill");
}

TEST(PlatformFoldersTest, ExistenceAndSize)
{
    TestFolder folder;
    tqtest::WriteWholeFile(folder.File("five"), "12345");
    EXPECT_TRUE(platform::FileExists(folder.File("five")));
    EXPECT_FALSE(platform::FolderExists(folder.File("five")));
    EXPECT_TRUE(platform::FolderExists(folder.Path()));
    EXPECT_FALSE(platform::FileExists(folder.Path()));
    EXPECT_TRUE(platform::PathExists(folder.Path()));
    EXPECT_FALSE(platform::PathExists(folder.File("none")));
    EXPECT_FALSE(platform::FolderExists(""));
    EXPECT_EQ(platform::FileSize(folder.File("five")), 5);
    EXPECT_EQ(platform::FileSize(folder.File("none")), -1);
    EXPECT_EQ(platform::FileSize(folder.Path()), -1);
}

TEST(PlatformFoldersTest, CreateWithParentsAndRemoveOnlyWhenEmpty)
{
    TestFolder folder;
    const std::string deep = folder.File("a/b/c/");
    EXPECT_TRUE(platform::CreateFolderWithParents(deep));
    EXPECT_TRUE(platform::FolderExists(deep));
    EXPECT_TRUE(platform::CreateFolderWithParents(deep)) << "an existing folder is fine";

    std::string error;
    EXPECT_FALSE(platform::CreateFolder(folder.File("a/b"), &error));
    EXPECT_EQ(error, "File exists");
    EXPECT_FALSE(platform::CreateFolder(folder.File("x/y"), &error));
    EXPECT_EQ(error, "No such file or directory");

    EXPECT_FALSE(platform::RemoveEmptyFolder(folder.File("a/b"), &error));
    EXPECT_TRUE(platform::FolderExists(folder.File("a/b/c")));
    EXPECT_TRUE(platform::RemoveEmptyFolder(folder.File("a/b/c/")));
    EXPECT_FALSE(platform::FolderExists(folder.File("a/b/c")));

    tqtest::WriteWholeFile(folder.File("file"), "x");
    EXPECT_FALSE(platform::CreateFolderWithParents(folder.File("file/sub"), &error));
    EXPECT_FALSE(platform::CreateFolderWithParents(folder.File("file"), &error));
    EXPECT_FALSE(platform::CreateFolderWithParents("", &error));
}

TEST(PlatformListTest, EntriesCarryTheirAttributes)
{
    TestFolder folder;
    tqtest::WriteWholeFile(folder.File("song.mp3"), "x");
    tqtest::WriteWholeFile(folder.File("frozen.txt"), "x");
    QFile::setPermissions(Q(folder.File("frozen.txt")), QFileDevice::ReadOwner);
    ASSERT_TRUE(QDir().mkpath(Q(folder.File(".cache"))));
    ASSERT_TRUE(QDir().mkpath(Q(folder.File("sub"))));

    std::vector<platform::FolderEntry> entries;
    ASSERT_TRUE(platform::ListFolderEntries(folder.Path(), &entries));
    std::sort(entries.begin(), entries.end(),
              [](const auto &a, const auto &b) { return a.name < b.name; });
    ASSERT_EQ(entries.size(), 4u) << "no entries for the folder itself and its parent";
    EXPECT_EQ(entries[0].name, ".cache");
    EXPECT_TRUE(entries[0].isFolder && entries[0].isHidden && !entries[0].isReadOnly);
    EXPECT_EQ(entries[1].name, "frozen.txt");
    EXPECT_TRUE(!entries[1].isFolder && !entries[1].isHidden && entries[1].isReadOnly);
    EXPECT_EQ(entries[2].name, "song.mp3");
    EXPECT_TRUE(!entries[2].isFolder && !entries[2].isReadOnly);
    EXPECT_EQ(entries[3].name, "sub");
    EXPECT_TRUE(entries[3].isFolder && !entries[3].isHidden);

    std::string error;
    EXPECT_FALSE(platform::ListFolderEntries(folder.File("none/"), &entries, &error));
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(error, "No such file or directory");
}

TEST(PlatformFileTest, ReplaceWritesExactBytesAndLeavesNoTemporaryFile)
{
    TestFolder folder;
    const std::string path = folder.File("data.ini");
    const std::string bytes = std::string("a\r\nb\0c", 6) + std::string(100000, 'z');
    ASSERT_TRUE(platform::ReplaceFileContent(path, bytes));
    std::string read;
    ASSERT_TRUE(platform::ReadWholeFile(path, &read));
    EXPECT_EQ(read, bytes);
    ASSERT_TRUE(platform::ReplaceFileContent(path, "short"));
    EXPECT_EQ(tqtest::ReadWholeFile(path), "short");
    EXPECT_EQ(QDir(Q(folder.Path())).entryList(QDir::Files | QDir::Hidden).size(), 1);

    std::string error;
    EXPECT_FALSE(platform::ReplaceFileContent(folder.File("none/data.ini"), "x", &error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(platform::FolderExists(folder.File("none")));
    EXPECT_FALSE(platform::ReplaceFileContent(folder.Path(), "x", &error));
}

TEST(PlatformFileTest, ReadFailures)
{
    TestFolder folder;
    std::string bytes = "old";
    std::string error;
    EXPECT_FALSE(platform::ReadWholeFile(folder.File("none"), &bytes, &error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(platform::ReadWholeFile(folder.Path(), &bytes, &error));
    EXPECT_EQ(error, "Is a directory");
}

TEST(PlatformFileTest, AppendCreatesThenAppends)
{
    TestFolder folder;
    const std::string path = folder.File("log.txt");
    ASSERT_TRUE(platform::AppendToFile(path, "one\r\n"));
    ASSERT_TRUE(platform::AppendToFile(path, "two\r\n"));
    EXPECT_EQ(tqtest::ReadWholeFile(path), "one\r\ntwo\r\n");
    EXPECT_TRUE(platform::RemoveFile(path));
    EXPECT_FALSE(platform::RemoveFile(path));
}

} // namespace
