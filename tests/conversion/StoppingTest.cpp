#include "ConversionFakes.h"
#include "TestFolder.h"
#include "TestText.h"
#include "conversion/ConversionLib.h"
#include "platform/ConsoleProcess.h"
#include "support/AppFunc.h"

#include <QElapsedTimer>
#include <QtCore/qtestsupport_core.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A folder holding a copy of the test program named like the encoder, and the sleeping
// processes started from it: children of this test, and copies left behind by a starter that
// has ended, as a crashed program leaves its encoder.
class EncoderProcesses
{
public:
    EncoderProcesses()
    {
        m_path = m_folder.File("evc");
        std::filesystem::copy_file(TQ_FAKE_ENCODER, m_path);
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all);
    }
    ~EncoderProcesses()
    {
        for (long id : m_leftBehind) {
            if (IsListed(id))
                m_system.Terminate(id);
        }
    }
    long Start()
    {
        auto process = std::make_unique<platform::ConsoleProcess>();
        EXPECT_TRUE(process->Start({m_path, "sleep", "30"}, m_folder.Path()));
        m_processes.push_back(std::move(process));
        return m_processes.back()->ProcessId();
    }
    // Starts a copy through a shell that ends at once, so the copy loses its parent. `marked`:
    // it keeps the mark naming this test as its starter, as the program's runner gives it; an
    // unmarked one is like an encoder run by hand whose terminal was closed.
    long StartLeftBehind(bool marked = true)
    {
        platform::ConsoleProcess shell;
        const std::string unmark = marked ? "" : std::string("unset ") + platform::kStarterVariable;
        EXPECT_TRUE(
            shell.Start({"/bin/sh", "-c",
                         unmark + "\n\"$0\" sleep 30 </dev/null >/dev/null 2>&1 & echo $!", m_path},
                        m_folder.Path()));
        EXPECT_TRUE(QTest::qWaitFor([&shell] { return !shell.IsRunning(); }, 30000));
        char buffer[64] = {};
        shell.ReadAvailable(buffer, sizeof buffer - 1);
        const long id = std::strtol(buffer, nullptr, 10);
        EXPECT_GT(id, 0);
        m_leftBehind.push_back(id);
        // The shell reports the copy's ID when it has forked it; a walk before the copy has
        // replaced itself with the encoder program would not see an encoder there.
        EXPECT_TRUE(QTest::qWaitFor([this, id] { return IsListed(id, "evc"); }, 30000));
        return id;
    }
    // Whether the process is listed, running the program named `imageName` when one is given.
    bool IsListed(long id, const std::string &imageName = "") const
    {
        const auto entries = m_system.Snapshot();
        return std::any_of(entries.begin(), entries.end(), [&](const auto &entry) {
            return entry.id == id && (imageName.empty() || entry.imageName == imageName);
        });
    }
    bool AllEnded()
    {
        return std::none_of(m_processes.begin(), m_processes.end(),
                            [](const auto &p) { return p->IsRunning(); }) &&
               std::none_of(m_leftBehind.begin(), m_leftBehind.end(),
                            [this](long id) { return IsListed(id); });
    }
    const std::string &Path() const { return m_path; }

private:
    tqtest::TestFolder m_folder;
    std::string m_path;
    std::vector<std::unique_ptr<platform::ConsoleProcess>> m_processes;
    std::vector<long> m_leftBehind;
    platform::SystemProcessTable m_system;
};

class Stopping : public ::testing::Test
{
protected:
    Stopping() : appFunc(logFolder.Path())
    {
        lib.ConnectStopping(appFunc, [this](const std::string &text) { warnings.push_back(text); });
        lib.UseProcessTable(table);
        TConversionTimings timings;
        timings.StopGiveUpMs = 400;
        lib.SetStopTimings(timings);
    }
    std::string Log() const
    {
        std::error_code error;
        if (!std::filesystem::exists(appFunc.LogPath(), error))
            return {};
        return tqtest::ReadWholeFile(appFunc.LogPath());
    }

    tqtest::TestFolder logFolder;
    TAppFunc appFunc;
    tqtest::ChildrenOnlyTable table;
    TConversionLib lib;
    std::vector<std::string> warnings;
};

} // namespace

// The stopping sees the real process list here: what it may end is limited by the processes
// themselves, so nothing outside the test's own folder can be touched.
TEST_F(Stopping, TheRunningAndALeftBehindEncoderAreBothTerminatedInOneWalk)
{
    EncoderProcesses encoders;
    platform::SystemProcessTable system;
    lib.UseProcessTable(system);
    lib.SetEncoderPath(encoders.Path());
    lib.SetRunningEncoder(encoders.Start());
    encoders.StartLeftBehind();
    EXPECT_TRUE(lib.TerminateProcessesNamed("evc"));
    EXPECT_TRUE(QTest::qWaitFor([&encoders] { return encoders.AllEnded(); }, 30000));
    EXPECT_EQ(lib.FindProcessId("evc"), 0);
    EXPECT_EQ(tqtest::CountOf(Log(), "Terminate process error."), 0);
}

TEST_F(Stopping, FullPathAndCapitalsFindTheSameProcesses)
{
    EncoderProcesses encoders;
    platform::SystemProcessTable system;
    lib.UseProcessTable(system);
    lib.SetEncoderPath(encoders.Path());
    const long running = encoders.Start();
    lib.SetRunningEncoder(running);
    const long leftBehind = encoders.StartLeftBehind();
    const long found = lib.FindProcessId("evc");
    EXPECT_TRUE(found == running || found == leftBehind);
    EXPECT_EQ(lib.FindProcessId("EVC"), found);
    EXPECT_EQ(lib.FindProcessId("Evc"), found);

    lib.StopEncoder(TProcessLookup::UpperCase(encoders.Path()));
    EXPECT_TRUE(QTest::qWaitFor([&encoders] { return encoders.AllEnded(); }, 30000));
    EXPECT_EQ(lib.FindProcessId("evc"), 0);
    EXPECT_TRUE(warnings.empty());
}

// A second window's encoder (a live child of another program), one run by hand and one left
// behind by a crashed program of another folder run on; only this program's leftover ends.
TEST_F(Stopping, StopEndsNoEncoderOfAnotherLiveProgramOrOfAnotherFolder)
{
    EncoderProcesses ours;
    EncoderProcesses otherFolder;
    platform::SystemProcessTable system;
    lib.UseProcessTable(system);
    lib.SetEncoderPath(ours.Path());
    const std::vector<long> untouchable = {ours.Start(), ours.StartLeftBehind(false),
                                           otherFolder.StartLeftBehind()};
    const long leftover = ours.StartLeftBehind();

    lib.StopEncoder(ours.Path());
    lib.StopEncoder("evc");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ours.IsListed(leftover); }, 30000));
    for (long id : untouchable)
        EXPECT_TRUE(ours.IsListed(id)) << id;
    EXPECT_EQ(tqtest::CountOf(Log(), "|Get Process id error."), 4);
    EXPECT_TRUE(warnings.empty());
}

TEST_F(Stopping, StopWhileNothingRunsOnlyWritesTheLogLines)
{
    lib.StopEncoder("/opt/tonequill/evc");
    const std::string log = Log();
    EXPECT_EQ(tqtest::CountOf(log, "\r\n"), 2);
    EXPECT_EQ(tqtest::CountOf(log, "|Get Process id error.\r\n"), 2);
    EXPECT_EQ(table.terminations, 0);
    EXPECT_TRUE(warnings.empty());
}

TEST_F(Stopping, AProcessThatCannotBeEndedIsGivenUpOnAndReportedOnce)
{
    tqtest::UnkillableTable unkillable;
    lib.UseProcessTable(unkillable);
    lib.SetRunningEncoder(tqtest::UnkillableTable::kId);
    QElapsedTimer clock;
    clock.start();
    lib.StopEncoder("evc");
    // It kept trying for the give-up time before it gave up. Only a lower bound: a loaded
    // machine can make the attempts take longer, never shorter.
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_GT(unkillable.attempts, 1);
    EXPECT_EQ(warnings.size(), 1u);
    EXPECT_GE(tqtest::CountOf(Log(), "Terminate process error."), 1);
    EXPECT_EQ(tqtest::CountOf(Log(), "Stop encoder error. ->evc could not be terminated."), 1);

    // A second Stop of the same batch tries once more and does not ask the user again.
    const int before = unkillable.attempts;
    lib.StopEncoder("evc");
    EXPECT_EQ(unkillable.attempts, before + 1);
    EXPECT_EQ(warnings.size(), 1u);

    lib.ResetStopNotice();
    lib.StopEncoder("evc");
    EXPECT_EQ(warnings.size(), 2u);
}

TEST_F(Stopping, EnablingAPrivilegeSucceeds)
{
    EXPECT_TRUE(lib.EnablePrivilege("SeDebugPrivilege", true));
    EXPECT_TRUE(lib.EnablePrivilege("SeShutdownPrivilege", false));
}

TEST(ProcessList, TheRealWalkSeesThisProcessAndNoZombies)
{
    platform::SystemProcessTable system;
    const auto entries = system.Snapshot();
    const auto self = std::find_if(entries.begin(), entries.end(), [](const auto &entry) {
        return entry.id == platform::CurrentProcessId();
    });
    ASSERT_NE(self, entries.end());
    EXPECT_EQ(self->imageName, "test_conversion_stopping");

    // A child that has ended but is not yet reaped is not listed.
    tqtest::ChildrenOnlyTable own;
    platform::ConsoleProcess child;
    ASSERT_TRUE(child.Start({TQ_FAKE_ENCODER, "sleep", "30"}, "/tmp"));
    ASSERT_EQ(own.Snapshot().size(), 1u);
    EXPECT_EQ(own.Snapshot()[0].imageName,
              std::filesystem::path(TQ_FAKE_ENCODER).filename().string());
    EXPECT_EQ(own.Snapshot()[0].imagePath, std::filesystem::canonical(TQ_FAKE_ENCODER).string());
    // The runner marks its child with this process as its starter.
    EXPECT_EQ(own.StarterOf(child.ProcessId()), platform::CurrentProcessId());
    EXPECT_TRUE(own.Terminate(child.ProcessId()));
    EXPECT_TRUE(QTest::qWaitFor([&own] { return own.Snapshot().empty(); }, 30000));
    EXPECT_TRUE(QTest::qWaitFor([&child] { return !child.IsRunning(); }, 30000));
    EXPECT_EQ(child.ExitCode(), 128 + 9);
}
