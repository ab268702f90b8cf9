#include "support/FileFunc.h"

#include "TestFolder.h"
#include "support/StrFunc.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

using tqtest::TestFolder;
using Paths = std::vector<std::string>;

void Touch(const std::string &path)
{
    tqtest::WriteWholeFile(path, "x");
}
void MakeFolder(const std::string &path)
{
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(path)));
}

TEST(StrFuncTest, AfterLast)
{
    EXPECT_EQ(TStrFunc::AfterLast("a_b_3", '_'), "3");
    EXPECT_EQ(TStrFunc::AfterLast("abc", '_'), "abc");
    EXPECT_EQ(TStrFunc::AfterLast("abc_", '_'), "");
    EXPECT_EQ(TStrFunc::AfterLast("", '_'), "");
}

TEST(StrFuncTest, SameTextIgnoresLetterCase)
{
    EXPECT_TRUE(TStrFunc::SameText("Voice", "vOICE"));
    EXPECT_TRUE(TStrFunc::SameText("Ärger", "äRGER"));
    EXPECT_FALSE(TStrFunc::SameText("Voice", "Voice "));
}

TEST(FileFuncPathTest, BaseFolderAndExtension)
{
    EXPECT_EQ(TFileFunc::BaseName("/out/clip.mp3"), "clip");
    EXPECT_EQ(TFileFunc::BaseName("/out/a.b.mp3"), "a.b");
    EXPECT_EQ(TFileFunc::BaseName("/out/clip."), "clip");
    EXPECT_EQ(TFileFunc::BaseName("/a/noext"), "");
    EXPECT_EQ(TFileFunc::BaseName("/dot.folder/noext"), "");
    EXPECT_EQ(TFileFunc::BaseName("clip.avi"), "clip");
    EXPECT_EQ(TFileFunc::FolderOf("/out/clip.mp3"), "/out/");
    EXPECT_EQ(TFileFunc::FolderOf("/clip.mp3"), "/");
    EXPECT_EQ(TFileFunc::FolderOf("clip.mp3"), "");
    EXPECT_EQ(TFileFunc::ExtensionOf("/out/a.b.mp3"), ".mp3");
    EXPECT_EQ(TFileFunc::ExtensionOf("/dot.folder/noext"), "");
    EXPECT_EQ(TFileFunc::ExtensionOf("/out/clip."), ".");
}

TEST(FileFuncListTest, SkipsPlainFoldersOnly)
{
    TestFolder folder;
    Touch(folder.File("song.mp3"));
    Touch(folder.File(".hiddenfile"));
    MakeFolder(folder.File("plain"));
    MakeFolder(folder.File(".hidden"));
    MakeFolder(folder.File("locked"));
    QFile::setPermissions(QString::fromStdString(folder.File("locked")),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    TFileFunc files;
    Paths listed = files.ListFolder(folder.Path());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (Paths{folder.File(".hidden"), folder.File(".hiddenfile"),
                             folder.File("locked"), folder.File("song.mp3")}));
    QFile::setPermissions(QString::fromStdString(folder.File("locked")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(files.ListFolder(folder.File("missing/")), Paths{});
}

class UniqueNameTest : public ::testing::Test
{
protected:
    std::string Out(const std::string &name) const { return m_folder.File(name); }
    TestFolder m_folder;
    TFileFunc m_files;
};

TEST_F(UniqueNameTest, FreeNameIsKept)
{
    EXPECT_EQ(m_files.UniqueName(Out("clip.mp3")), Out("clip.mp3"));
    EXPECT_EQ(m_files.UniqueName(m_folder.File("missing/clip.mp3")),
              m_folder.File("missing/clip.mp3"));
}

TEST_F(UniqueNameTest, CountsUpPastExistingFiles)
{
    Touch(Out("clip.mp3"));
    EXPECT_EQ(m_files.UniqueName(Out("clip.mp3")), Out("clip_1.mp3"));
    Touch(Out("clip_1.mp3"));
    EXPECT_EQ(m_files.UniqueName(Out("clip.mp3")), Out("clip_2.mp3"));
    for (int i = 2; i <= 11; ++i)
        Touch(Out("clip_" + std::to_string(i) + ".mp3"));
    EXPECT_EQ(m_files.UniqueName(Out("clip.mp3")), Out("clip_12.mp3"));
}

TEST_F(UniqueNameTest, AnyExtensionTakesTheBaseName)
{
    Touch(Out("clip.wav"));
    EXPECT_EQ(m_files.UniqueName(Out("clip.mp3")), Out("clip_1.mp3"));
}

TEST_F(UniqueNameTest, NumberedSourceNamesGetAnotherNumber)
{
    Touch(Out("take_3.mp3"));
    EXPECT_EQ(m_files.UniqueName(Out("take_3.mp3")), Out("take_3_1.mp3"));
    Touch(Out("take_3_1.mp3"));
    EXPECT_EQ(m_files.UniqueName(Out("take_3.mp3")), Out("take_3_2.mp3"));
}

TEST_F(UniqueNameTest, PlainSubFolderOfTheBaseNameLeavesItFree)
{
    MakeFolder(Out("clip"));
    EXPECT_EQ(m_files.UniqueName(Out("clip.mp3")), Out("clip.mp3"));
}

TEST_F(UniqueNameTest, SomethingAtTheVeryPathIsTaken)
{
    MakeFolder(Out("clip.mp3"));
    EXPECT_EQ(m_files.UniqueName(Out("clip.mp3")), Out("clip_1.mp3"));
}

TEST_F(UniqueNameTest, LetterCaseNeverLetsAFileBeOverwritten)
{
    Touch(Out("CLIP.avi"));
    EXPECT_EQ(m_files.UniqueName(Out("clip.mp3")), Out("clip_1.mp3"));
    Touch(Out("Clip_1.MP3"));
    EXPECT_EQ(m_files.UniqueName(Out("clip.mp3")), Out("clip_2.mp3"));
}

} // namespace
