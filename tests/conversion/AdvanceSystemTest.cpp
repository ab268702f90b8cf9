#include "conversion/AdvanceSystem.h"

#include "TestFolder.h"
#include "platform/CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct RunResult
{
    bool result = false;
    std::vector<std::string> pieces;
    int exitCode = -1;
};

RunResult RunFake(const std::vector<std::string> &arguments, const std::string &folder = "/tmp/")
{
    std::vector<std::string> all = {TQ_FAKE_ENCODER};
    all.insert(all.end(), arguments.begin(), arguments.end());
    TAdvanceSystem runner(folder, 50);
    RunResult run;
    run.result =
        runner.RunConsoleProcess(platform::JoinCommandLine(all),
                                 [&run](const std::string &text) { run.pieces.push_back(text); });
    run.exitCode = runner.ExitCode();
    return run;
}

std::string Pattern(std::size_t count)
{
    std::string bytes(count, 'a');
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<char>('a' + (i % 26));
    bytes[count - 1] = 'Z';
    return bytes;
}

} // namespace

TEST(AdvanceSystem, ExactlyOneBlockIsDeliveredWhole)
{
    const RunResult run = RunFake({"bytes", "1023"});
    ASSERT_TRUE(run.result);
    ASSERT_EQ(run.pieces.size(), 1u);
    EXPECT_EQ(run.pieces[0], Pattern(1023));
}

TEST(AdvanceSystem, OnlyTheLastBlockOfLongerOutputReachesTheCallback)
{
    const RunResult run = RunFake({"bytes", "1024"});
    ASSERT_EQ(run.pieces.size(), 1u);
    EXPECT_EQ(run.pieces[0], "Z");

    const RunResult longer = RunFake({"bytes", "3000"});
    ASSERT_EQ(longer.pieces.size(), 1u);
    EXPECT_EQ(longer.pieces[0], Pattern(3000).substr(2046));
}

// A read that waited for more output here would never return; the test's timeout shows that.
TEST(AdvanceSystem, OutputOfAnExactMultipleOfTheBlockNeverWaits)
{
    const RunResult run = RunFake({"bytes", "2046"});
    ASSERT_TRUE(run.result);
    ASSERT_EQ(run.pieces.size(), 1u);
    EXPECT_EQ(run.pieces[0], Pattern(2046).substr(1023));
}

TEST(AdvanceSystem, TextIsCutAtAZeroByte)
{
    const RunResult run = RunFake({"zero"});
    ASSERT_EQ(run.pieces.size(), 1u);
    EXPECT_EQ(run.pieces[0], "abc");
}

TEST(AdvanceSystem, OutputWrittenJustBeforeTheEndIsDelivered)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        const RunResult run = RunFake({"lastwords"});
        ASSERT_TRUE(run.result);
        ASSERT_EQ(run.pieces.size(), 1u);
        EXPECT_EQ(run.pieces[0], "last words");
        EXPECT_EQ(run.exitCode, 3);
    }
}

TEST(AdvanceSystem, ChildRunsInItsOwnSessionInTheProgramFolder)
{
    tqtest::TestFolder folder;
    const RunResult run = RunFake({"whereami"}, folder.Path());
    ASSERT_EQ(run.pieces.size(), 1u);
    std::string expected = folder.Path();
    expected.pop_back();
    EXPECT_EQ(run.pieces[0], expected + "|own session");
}

TEST(AdvanceSystem, QuotedArgumentsArriveWhole)
{
    const RunResult run = RunFake({"args", "a b", "-x\"y", "$HOME", "`id`"});
    ASSERT_EQ(run.pieces.size(), 1u);
    EXPECT_EQ(run.pieces[0], "[a b][-x\"y][$HOME][`id`]");
}

TEST(AdvanceSystem, ACommandThatCannotStartFailsAtOnceWithoutCallback)
{
    TAdvanceSystem runner("/tmp/");
    int calls = 0;
    EXPECT_FALSE(runner.RunConsoleProcess("/no/such/folder/evc -y -i \"x\" \"y\"",
                                          [&calls](const std::string &) { ++calls; }));
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(runner.StartError().empty());
    EXPECT_FALSE(runner.RunConsoleProcess("", [&calls](const std::string &) { ++calls; }));
    EXPECT_EQ(calls, 0);
}
