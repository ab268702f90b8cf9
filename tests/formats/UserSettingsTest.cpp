#include "formats/UserSettings.h"

#include "ProfileTestSupport.h"
#include "support/Errors.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

TEST(UserSettings, RemembersTheFolderOfTheLastChosenFile)
{
    tqtest::ProgramFolder program;
    const TUserSettings settings(program.Path(), "/home/someone/");
    EXPECT_EQ(settings.ReadInitDir(), "/home/someone/");

    settings.SaveInitDir("/media/clips/clip.3gp");
    EXPECT_EQ(settings.ReadInitDir(), "/media/clips/");
    settings.SaveInitDir("/srv/music/song.mp3");
    EXPECT_EQ(settings.ReadInitDir(), "/srv/music/");
    EXPECT_EQ(tqtest::ReadWholeFile(program.ConfigFile("UserSettings.ini")),
              "\r\n[USRInfo]\r\nInitDir=/srv/music/\r\n");
}

TEST(UserSettings, NoFolderPartWritesNothingAndAnEmptyValueReadsAsTheDefault)
{
    tqtest::ProgramFolder program;
    const TUserSettings settings(program.Path(), "/home/someone/");
    settings.SaveInitDir(""); // the dialog was never used successfully
    EXPECT_FALSE(std::filesystem::exists(program.ConfigFile("UserSettings.ini")));

    tqtest::WriteWholeFile(program.ConfigFile("UserSettings.ini"), "[USRInfo]\r\nInitDir=\r\n");
    EXPECT_EQ(settings.ReadInitDir(), "/home/someone/");
}

TEST(UserSettings, MissingConfigFolderFailsTheWrite)
{
    tqtest::ProgramFolder program(false);
    const TUserSettings settings(program.Path(), "/home/someone/");
    EXPECT_EQ(settings.ReadInitDir(), "/home/someone/");
    try {
        settings.SaveInitDir("/media/clip.3gp");
        FAIL() << "the write succeeded without a Config folder";
    } catch (const EFCreateError &error) {
        EXPECT_EQ(std::string(error.what()).rfind("Cannot create file \"", 0), 0u);
    }
}

} // namespace
