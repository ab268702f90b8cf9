#include "TestFolder.h"

#include <QDir>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr int kKills = 60;
constexpr size_t kValueLength = 256 * 1024;

std::string Content(char letter)
{
    return "\r\n[Store]\r\nValue=" + std::string(kValueLength, letter) + "\r\n";
}

// Kills a writer process at random moments; after every kill the file must hold one of the two
// complete contents, never a mixture or a truncated one.
TEST(IniFileCrashTest, KilledWriterLeavesOldOrNewContent)
{
    tqtest::TestFolder folder;
    const std::string path = folder.File("store.ini");
    const std::string contentA = Content('a');
    const std::string contentB = Content('b');
    const QString helper = QString::fromUtf8(INI_WRITER_HELPER);

    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> delayMicroseconds(0, 30000);
    int killedMidWrite = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        QProcess writer;
        writer.start(helper, {QString::fromStdString(path), QString::number(kValueLength)});
        ASSERT_TRUE(writer.waitForStarted(10000)) << writer.errorString().toStdString();
        ASSERT_TRUE(writer.waitForReadyRead(10000)) << "the writer never completed a write";
        QThread::usleep(static_cast<unsigned long>(delayMicroseconds(random)));
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(10000));

        const std::string bytes = tqtest::ReadWholeFile(path);
        ASSERT_TRUE(bytes == contentA || bytes == contentB)
            << "after kill " << kill << " the file holds " << bytes.size() << " bytes";

        // A temporary file left behind shows that the kill hit a write in progress.
        const QStringList leftovers =
            QDir(QString::fromStdString(folder.Path()))
                .entryList({".store.ini.tmp-*"}, QDir::Files | QDir::Hidden);
        killedMidWrite += leftovers.isEmpty() ? 0 : 1;
        for (const QString &name : leftovers)
            QFile::remove(QString::fromStdString(folder.Path()) + name);
    }
    std::printf("%d of %d kills hit a write in progress\n", killedMidWrite, kKills);
    EXPECT_GT(killedMidWrite, 0) << "no kill landed during a write; the test proved nothing";
}

} // namespace
