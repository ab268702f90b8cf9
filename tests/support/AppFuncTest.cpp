#include "support/AppFunc.h"

#include "ProgramRun.h"
#include "TestFolder.h"
#include "support/Errors.h"

#include <QDir>
#include <QFile>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

namespace {

using tqtest::ReadWholeFile;
using tqtest::TestFolder;

// 2024-12-08 14:05:09 UTC
constexpr std::time_t kMoment = 1733666709;

class LogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC0", 1);
        tzset();
    }

    TAppFunc::Clock FixedClock(int *reads = nullptr)
    {
        return [reads] {
            if (reads)
                ++*reads;
            return kMoment;
        };
    }
};

TEST_F(LogTest, FirstCallCreatesTheFileWithOneLine)
{
    TestFolder program;
    int reads = 0;
    TAppFunc app(program.Path(), "C", FixedClock(&reads));
    EXPECT_EQ(app.LogPath(), program.Path() + "log.txt");
    app.WriteLog("Playing Video error.");
    EXPECT_EQ(ReadWholeFile(program.File("log.txt")),
              "Marlowbrook Soft 12/08/24 14:05:09|Playing Video error.\r\n");
    EXPECT_EQ(reads, 2) << "the clock is read once for the date and once for the time";
}

TEST_F(LogTest, LinesAppendInCallOrderAndEmptyMessageEndsWithBar)
{
    TestFolder program;
    tqtest::WriteWholeFile(program.File("log.txt"), "earlier line\r\n");
    TAppFunc app(program.Path(), "C", FixedClock());
    app.WriteLog("Output directory /home/user/tonequill");
    app.WriteLog("");
    EXPECT_EQ(ReadWholeFile(program.File("log.txt")),
              "earlier line\r\n"
              "Marlowbrook Soft 12/08/24 14:05:09|Output directory /home/user/tonequill\r\n"
              "Marlowbrook Soft 12/08/24 14:05:09|\r\n");
}

TEST_F(LogTest, SystemClockIsUsedByDefault)
{
    TestFolder program;
    TAppFunc app(program.Path(), "C");
    app.WriteLog("now");
    const std::string line = ReadWholeFile(program.File("log.txt"));
    ASSERT_EQ(line.size(), std::string("Marlowbrook Soft 12/08/24 14:05:09|now\r\n").size());
    EXPECT_EQ(line.rfind("Marlowbrook Soft ", 0), 0u);
}

// Builds a German locale into a private folder with localedef (no system locale is touched).
std::string BuildGermanLocale(const std::string &folder)
{
    const int status =
        tqtest::RunProgram({"localedef", "-i", "de_DE", "-f", "UTF-8", folder + "de_DE.UTF-8"})
            .exitCode;
    // localedef reports warnings with status 1 while still writing the locale.
    if (status != 0 && status != 1)
        return std::string();
    return QDir(QString::fromStdString(folder + "de_DE.UTF-8")).exists() ? "de_DE.UTF-8"
                                                                         : std::string();
}

TEST_F(LogTest, DateAndTimeFollowTheUserLocale)
{
    TestFolder locales;
    const std::string name = BuildGermanLocale(locales.Path());
    if (name.empty())
        GTEST_SKIP() << "localedef could not build a German locale on this machine";
    setenv("LOCPATH", locales.Path().c_str(), 1);
    const char *previous = std::getenv("LC_ALL");
    const std::string saved = previous ? previous : "";
    setenv("LC_ALL", name.c_str(), 1);

    TestFolder program;
    TAppFunc(program.Path(), std::string(), FixedClock()).WriteLog("x");
    TAppFunc(program.Path(), name, FixedClock()).WriteLog("y");

    if (previous)
        setenv("LC_ALL", saved.c_str(), 1);
    else
        unsetenv("LC_ALL");
    unsetenv("LOCPATH");
    EXPECT_EQ(ReadWholeFile(program.File("log.txt")), "Marlowbrook Soft 08.12.2024 14:05:09|x\r\n"
                                                      "Marlowbrook Soft 08.12.2024 14:05:09|y\r\n");
}

TEST_F(LogTest, MissingProgramFolderRaisesAnInOutError)
{
    TestFolder base;
    TAppFunc app(base.File("gone/"), "C", FixedClock());
    EXPECT_THROW(app.WriteLog("x"), EInOutError);
    EXPECT_FALSE(QDir(QString::fromStdString(base.File("gone"))).exists());
}

int OpenDescriptors()
{
    return static_cast<int>(QDir("/proc/self/fd").count());
}

TEST_F(LogTest, FailedWriteClosesTheFile)
{
    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full to make writes fail";
    TestFolder program;
    ASSERT_TRUE(QFile::link("/dev/full", QString::fromStdString(program.File("log.txt"))));
    TAppFunc app(program.Path(), "C", FixedClock());
    const int before = OpenDescriptors();
    for (int i = 0; i < 20; ++i) {
        try {
            app.WriteLog("no space");
            FAIL() << "a write to a full device succeeded";
        } catch (const EInOutError &error) {
            EXPECT_NE(std::string(error.what()).find("No space left on device"), std::string::npos)
                << error.what();
        }
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

} // namespace
