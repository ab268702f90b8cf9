// The three settings files while a writer process is killed at random moments: afterwards
// each holds one complete content that a write left there, never a mixture or a truncated one.
// (The settings file class itself has a test of its own; this one covers the program's files.)
#include "TestFolder.h"
#include "TestText.h"
#include "formats/ProfileIni.h"

#include <QProcess>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace {

// Every profile is there, with a value one of the writer's rounds gave it.
bool IsCompleteProfileStore(const TProfileIni &profiles)
{
    const std::vector<std::string> sections = profiles.ReadIniSections(kProfileStoreFile);
    if (sections.size() != 200)
        return false;
    for (int i = 0; i < 200; ++i) {
        const std::string value =
            profiles.ReadIniValue(kProfileStoreFile, "Profile " + std::to_string(i));
        const std::string tail = "|1|2|3|0|" + std::to_string(i);
        if (value != "a" + tail && value != "b" + tail)
            return false;
    }
    return true;
}

TEST(SettingsKillTest, KilledWriterLeavesEverySettingsFileWhole)
{
    tqtest::TestFolder program;
    std::filesystem::create_directory(program.File("Config"));
    const TProfileIni profiles(program.Path());
    std::mt19937 random(20261209u);
    std::uniform_int_distribution<int> delayMicroseconds(0, 30000);
    const int kills = 25 * tqtest::RobustnessScale();
    int broken = 0;
    for (int kill = 0; kill < kills; ++kill) {
        QProcess writer;
        writer.start(SETTINGS_WRITER_HELPER, {QString::fromStdString(program.Path())});
        ASSERT_TRUE(writer.waitForStarted(10000)) << writer.errorString().toStdString();
        ASSERT_TRUE(writer.waitForReadyRead(60000)) << "the writer never got ready";
        QThread::usleep(static_cast<unsigned long>(delayMicroseconds(random)));
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(10000));

        for (const char *file : {kUserSettingsFile, kProfileCounterFile}) {
            const std::string path = profiles.ConfigPath(file);
            const std::string bytes = tqtest::ReadWholeFile(path);
            const bool whole = bytes == tqtest::ReadWholeFile(path + ".0") ||
                               bytes == tqtest::ReadWholeFile(path + ".1");
            broken += whole ? 0 : 1;
            EXPECT_TRUE(whole) << file << " after kill " << kill << ": " << bytes.size()
                               << " bytes";
        }
        const bool storeWhole = IsCompleteProfileStore(profiles);
        broken += storeWhole ? 0 : 1;
        EXPECT_TRUE(storeWhole) << kProfileStoreFile << " after kill " << kill;
    }
    std::printf("settings kills: %d, files neither old nor new: %d\n", kills, broken);
}

} // namespace
