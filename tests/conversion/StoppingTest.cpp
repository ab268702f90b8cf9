#include "ConversionFakes.h"
#include "TestFolder.h"
#include "TestText.h"
#include "conversion/ConversionLib.h"
#include "platform/ConsoleProcess.h"
#include "support/AppFunc.h"

#include <QElapsedTimer>
#include <QtCore/qtestsupport_core.h>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A folder holding a copy of the test program named like the encoder, and the sleeping
// processes started from it.
class EncoderProcesses
{
public:
    EncoderProcesses()
    {
        m_path = m_folder.File("evc");
        std::filesystem::copy_file(TQ_FAKE_ENCODER, m_path);
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all);
    }
    long Start()
    {
        auto process = std::make_unique<platform::ConsoleProcess>();
        EXPECT_TRUE(process->Start({m_path, "sleep", "30"}, m_folder.Path()));
        m_processes.push_back(std::move(process));
        return m_processes.back()->ProcessId();
    }
    bool AllEnded()
    {
        return std::none_of(m_processes.begin(), m_processes.end(),
                            [](const auto &p) { return p->IsRunning(); });
    }
    const std::string &Path() const { return m_path; }

private:
    tqtest::TestFolder m_folder;
    std::string m_path;
    std::vector<std::unique_ptr<platform::ConsoleProcess>> m_processes;
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

TEST_F(Stopping, TwoEncodersAreBothTerminatedInOneWalk)
{
    EncoderProcesses encoders;
    encoders.Start();
    encoders.Start();
    EXPECT_TRUE(lib.TerminateProcessesNamed("evc"));
    EXPECT_EQ(table.terminations, 2);
    EXPECT_TRUE(QTest::qWaitFor([&encoders] { return encoders.AllEnded(); }, 30000));
    EXPECT_EQ(lib.FindProcessId("evc"), 0);
    EXPECT_EQ(tqtest::CountOf(Log(), "Terminate process error."), 0);
}

TEST_F(Stopping, FullPathAndCapitalsFindTheSameProcesses)
{
    EncoderProcesses encoders;
    const long first = encoders.Start();
    const long second = encoders.Start();
    const long found = lib.FindProcessId("evc");
    EXPECT_TRUE(found == first || found == second);
    EXPECT_EQ(lib.FindProcessId("EVC"), found);
    EXPECT_EQ(lib.FindProcessId("Evc"), found);

    lib.StopEncoder(TProcessLookup::UpperCase(encoders.Path()));
    EXPECT_TRUE(encoders.AllEnded());
    EXPECT_EQ(lib.FindProcessId("evc"), 0);
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
    EXPECT_TRUE(own.Terminate(child.ProcessId()));
    EXPECT_TRUE(QTest::qWaitFor([&own] { return own.Snapshot().empty(); }, 30000));
    EXPECT_TRUE(QTest::qWaitFor([&child] { return !child.IsRunning(); }, 30000));
    EXPECT_EQ(child.ExitCode(), 128 + 9);
}
