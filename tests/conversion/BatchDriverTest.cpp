#include "ConversionRig.h"
#include "TestFolder.h"
#include "TestText.h"
#include "support/Errors.h"
#include "support/PartialOutput.h"

#include <QElapsedTimer>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// A batch on a program folder whose encoder is the test program, with short pauses.
class BatchDriver : public ::testing::Test, protected tqtest::ConversionRig
{
protected:
    BatchDriver()
    {
        std::filesystem::copy_file(TQ_FAKE_ENCODER, program.File("evc"));
        std::filesystem::permissions(program.File("evc"), std::filesystem::perms::owner_all);
        settings.outputFolder = media.File("out");
        timings.BeforeStartMs = 100;
        timings.AfterEndMs = 100;
        Connect(progress, program.Path());
    }

    // A source whose first line tells the test encoder what to do.
    std::string Source(const std::string &name, const std::string &behaviour)
    {
        const std::string path = media.File(name);
        tqtest::WriteWholeFile(path, behaviour + "\n");
        rows.Add(path);
        return path;
    }
    std::string Output(const std::string &name) const { return media.File("out/" + name); }
    bool Exists(const std::string &path) const { return std::filesystem::exists(path); }

    tqtest::TestFolder media;
    tqtest::RecordingProgress progress;
};

} // namespace

TEST_F(BatchDriver, AnEmptyListOnlyWarns)
{
    proc.ConvertAll(rows);
    ASSERT_EQ(presenter.requests.size(), 1u);
    EXPECT_EQ(presenter.requests[0].text,
              "Please add media files you want to convert into the list.");
    EXPECT_EQ(presenter.requests[0].icon, TMessageIcon::Warning);
    EXPECT_EQ(progress.shows, 0);
    EXPECT_TRUE(mainWindow.enabled);
    EXPECT_TRUE(opener.opened.empty());
}

// The encoder stopping of the common library is connected with the batch driver: an encoder
// that cannot be ended is given up on after the connected time and reported in a message box.
TEST_F(BatchDriver, AnEncoderThatCannotBeEndedIsReportedInAMessageBox)
{
    timings.StopGiveUpMs = 300;
    Connect(progress, program.Path());
    tqtest::UnkillableTable unkillable;
    lib.UseProcessTable(unkillable);
    lib.SetRunningEncoder(tqtest::UnkillableTable::kId);
    lib.StopEncoder("evc");
    ASSERT_EQ(presenter.requests.size(), 1u);
    EXPECT_EQ(presenter.requests[0].icon, TMessageIcon::Warning);
    EXPECT_EQ(tqtest::CountOf(Log(), "Stop encoder error. ->evc could not be terminated."), 1);
}

TEST_F(BatchDriver, ConvertsEveryCheckedRowAndOpensTheFolder)
{
    Source("one.wav", "ok");
    Source("two.wav", "ok");
    Source("skipped.wav", "ok");
    Source("three.wav", "ok");
    rows.SetCellText(2, JobColumn::CheckStatus, "False");
    bool mainEnabledWhileConverting = true;
    progress.onOutput = [&](const std::string &) {
        mainEnabledWhileConverting = mainEnabledWhileConverting && mainWindow.enabled;
    };

    proc.ConvertAll(rows);

    EXPECT_TRUE(Exists(Output("one.mp3")));
    EXPECT_TRUE(Exists(Output("two.mp3")));
    EXPECT_TRUE(Exists(Output("three.mp3")));
    EXPECT_FALSE(Exists(Output("skipped.mp3")));
    EXPECT_FALSE(mainEnabledWhileConverting);
    EXPECT_TRUE(mainWindow.enabled);
    EXPECT_FALSE(progress.visible);
    EXPECT_EQ(proc.RowCount, 4);
    EXPECT_EQ(proc.RowIndex, 4);
    EXPECT_EQ(progress.resets, 3);
    EXPECT_FALSE(progress.outputs.empty());
    EXPECT_EQ(opener.opened, std::vector<std::string>{Output("")});
    EXPECT_EQ(power.powerOffs, 0);
    EXPECT_TRUE(presenter.requests.empty());
    EXPECT_EQ(tqtest::CountOf(Log(), "|parameter: " + program.File("evc") + " -y -i \""), 3);
    EXPECT_TRUE(proc.FailedRows().empty());
}

TEST_F(BatchDriver, BothEndOfJobActionsRunInOrderAndTheApplicationEnds)
{
    std::vector<std::string> events;
    opener.events = &events;
    power.events = &events;
    mainWindow.events = &events;
    mainWindow.shutdown = true;
    Source("one.wav", "ok");
    proc.ConvertAll(rows);
    EXPECT_EQ(events, (std::vector<std::string>{"open " + Output(""), "power off", "quit"}));
    EXPECT_TRUE(progress.visible); // the application ends instead
}

TEST_F(BatchDriver, NeitherEndOfJobActionWhenUnchecked)
{
    mainWindow.showOutputDirectory = false;
    Source("one.wav", "ok");
    proc.ConvertAll(rows);
    EXPECT_TRUE(opener.opened.empty());
    EXPECT_EQ(power.powerOffs, 0);
    EXPECT_FALSE(progress.visible);
    EXPECT_TRUE(mainWindow.enabled);
}

TEST_F(BatchDriver, AStopDuringARowEndsTheBatchWithoutEndOfJobActions)
{
    mainWindow.shutdown = true;
    Source("one.wav", "ok");
    Source("long.wav", "sleep 20");
    Source("three.wav", "ok");
    progress.onOutput = [this](const std::string &) {
        if (proc.RowIndex == 1 && progress.outputs.size() >= 3 && !proc.StopRequested)
            StopLikeTheStopButton();
    };
    proc.ConvertAll(rows);

    EXPECT_TRUE(Exists(Output("one.mp3")));
    EXPECT_FALSE(Exists(Output("long.mp3"))); // an encoder left running would have written it
    EXPECT_FALSE(Exists(PartialOutputPath(Output("long.mp3")))); // removed once it had gone
    EXPECT_FALSE(Exists(Output("three.mp3")));
    EXPECT_TRUE(table.Snapshot().empty());
    EXPECT_EQ(proc.RowIndex, 1025);
    EXPECT_TRUE(opener.opened.empty());
    EXPECT_EQ(power.powerOffs, 0);
    EXPECT_EQ(mainWindow.quits, 0);
    EXPECT_FALSE(progress.visible);
    EXPECT_TRUE(mainWindow.enabled);
    EXPECT_TRUE(presenter.requests.empty()); // a stopped row is not a failure
}

TEST_F(BatchDriver, AStopBeforeTheEncoderStartsPreventsTheStart)
{
    Source("one.wav", "ok");
    Source("two.wav", "ok");
    QTimer::singleShot(30, [this] { StopLikeTheStopButton(); });
    QTimer::singleShot(60, [this] { proc.ConvertAll(rows); }); // Convert, enabled by Stop
    proc.ConvertAll(rows);
    EXPECT_TRUE(progress.outputs.empty());
    EXPECT_FALSE(Exists(Output("one.mp3")));
    EXPECT_FALSE(Exists(Output("two.mp3")));
    EXPECT_EQ(tqtest::CountOf(Log(), "|parameter: "), 1);
    EXPECT_TRUE(opener.opened.empty());
}

TEST_F(BatchDriver, ConvertPressedRightAfterAStopStartsNoSecondBatch)
{
    mainWindow.shutdown = true;
    Source("long.wav", "sleep 20");
    Source("two.wav", "ok");
    int clicks = 0;
    progress.onOutput = [&](const std::string &) {
        if (clicks++ > 0)
            return;
        StopLikeTheStopButton();
        EXPECT_TRUE(proc.Converting());
        proc.ConvertAll(rows); // the Convert button, usable again after Stop
    };
    proc.ConvertAll(rows);

    EXPECT_EQ(tqtest::CountOf(Log(), "|parameter: "), 1);
    EXPECT_FALSE(Exists(Output("two.mp3")));
    EXPECT_TRUE(opener.opened.empty());
    EXPECT_EQ(power.powerOffs, 0);
    EXPECT_EQ(mainWindow.quits, 0);
    EXPECT_TRUE(presenter.requests.empty()); // the stopped row is no failure
    EXPECT_FALSE(proc.Converting());
    EXPECT_FALSE(progress.visible);
}

// Two programs of one installation convert at once, as two windows would. A Stop in one ends
// its own encoder only: the other's runs on to the end and its output is whole.
TEST_F(BatchDriver, AStopInOneProgramLeavesAnotherProgramsEncoderRunning)
{
    tqtest::ConversionRig other;
    tqtest::RecordingProgress otherProgress;
    other.settings.outputFolder = media.File("other");
    other.timings = timings;
    other.Connect(otherProgress, program.Path());
    const std::string otherSource = media.File("other.wav");
    tqtest::WriteWholeFile(otherSource, "sleep 3\n");
    other.rows.Add(otherSource);
    Source("mine.wav", "sleep 20");

    bool stopped = false;
    long otherEncoderAfterStop = 0;
    otherProgress.onOutput = [&](const std::string &) {
        if (otherProgress.outputs.size() == 1)
            proc.ConvertAll(rows); // this program's batch, while the other's encoder runs
    };
    progress.onOutput = [&](const std::string &) {
        if (stopped)
            return;
        stopped = true;
        StopLikeTheStopButton();
        otherEncoderAfterStop = other.lib.IsOwnEncoderRunning("evc");
    };
    other.proc.ConvertAll(other.rows);

    ASSERT_TRUE(stopped);
    EXPECT_NE(otherEncoderAfterStop, 0);
    EXPECT_FALSE(Exists(Output("mine.mp3")));
    EXPECT_TRUE(other.proc.FailedRows().empty());
    EXPECT_EQ(tqtest::ReadWholeFile(media.File("other/other.mp3")),
              "converted " + otherSource + "\n");
    EXPECT_TRUE(other.presenter.requests.empty());
    EXPECT_EQ(other.opener.opened, std::vector<std::string>{media.File("other/")});
}

// A settings error on a later row or a log file that can no longer be written ends the batch
// through the error display; the windows must not stay as the running batch had them.
TEST_F(BatchDriver, AnErrorInTheMiddleOfABatchLeavesTheWindowsUsable)
{
    Source("one.wav", "ok");
    Source("two.wav", "ok");
    const std::string logPath = appFunc.LogPath();
    const std::vector<std::pair<std::string, std::function<void()>>> failures = {
        {"settings error on the second row",
         [this] {
             settings.onApplyCustomProfile = [](tqtest::FakeSettings &s) {
                 if (s.profileApplications == 2)
                     throw EInOutError("I/O error on \"UserProfileInfo.ini\".");
             };
         }},
        {"log file no longer writable",
         [this, logPath] {
             progress.onOutput = [logPath](const std::string &) {
                 std::filesystem::remove(logPath);
                 std::filesystem::create_directory(logPath);
             };
         }},
    };
    for (const auto &[name, arrange] : failures) {
        SCOPED_TRACE(name);
        settings.profileApplications = 0;
        arrange();
        EXPECT_THROW(proc.ConvertAll(rows), EInOutError);
        EXPECT_FALSE(progress.visible);
        EXPECT_TRUE(mainWindow.enabled);
        EXPECT_FALSE(proc.Converting());
        settings.onApplyCustomProfile = nullptr;
        progress.onOutput = nullptr;
        std::filesystem::remove(logPath);
    }

    proc.ConvertAll(rows); // the next batch runs as usual
    EXPECT_TRUE(Exists(Output("two.mp3")));
    EXPECT_EQ(tqtest::CountOf(Log(), "|parameter: "), 2);
}

TEST_F(BatchDriver, AStopEndsEvenAListOfMoreThan1024Rows)
{
    Source("first.wav", "sleep 20");
    for (int i = 0; i < 1030; ++i)
        rows.Add(media.File("row" + std::to_string(i) + ".wav"));
    progress.onOutput = [this](const std::string &) {
        if (!proc.StopRequested)
            StopLikeTheStopButton();
    };
    proc.ConvertAll(rows);
    EXPECT_EQ(tqtest::CountOf(Log(), "|parameter: "), 1);
    EXPECT_TRUE(opener.opened.empty());
}

TEST_F(BatchDriver, FailedRowsAreReportedInOneWarning)
{
    Source("good.wav", "ok");
    const std::string unreadable = Source("unreadable.wav", "");
    const std::string noAudio = Source("noaudio.wav", "fail");
    Source("last.wav", "ok");
    proc.ConvertAll(rows);

    EXPECT_TRUE(Exists(Output("good.mp3")));
    EXPECT_TRUE(Exists(Output("last.mp3")));
    ASSERT_EQ(proc.FailedRows().size(), 2u);
    EXPECT_EQ(proc.FailedRows()[0].FileName, unreadable);
    EXPECT_EQ(proc.FailedRows()[0].Reason, "Cannot open the input file " + unreadable);
    EXPECT_EQ(proc.FailedRows()[1].Reason, "The input has no audio stream.");
    ASSERT_EQ(presenter.requests.size(), 1u);
    const TMessageBoxRequest &warning = presenter.requests[0];
    EXPECT_EQ(warning.icon, TMessageIcon::Warning);
    EXPECT_EQ(warning.text, "These files could not be converted:\n\n" + unreadable +
                                "\n    Cannot open the input file " + unreadable + "\n\n" +
                                noAudio + "\n    The input has no audio stream.");
    EXPECT_NE(Log().find("|Conversion error. ->" + noAudio + "|The input has no audio stream."),
              std::string::npos);
    EXPECT_EQ(opener.opened.size(), 1u);
}

TEST_F(BatchDriver, EncodersKilledFromOutsideLeaveNoUnfinishedFiles)
{
    // Leftovers of encoders killed outside a batch, and a user's file that only looks alike.
    std::filesystem::create_directories(Output(""));
    for (const char *name : {".one.mp3.evc-partial", ".old.ogg.evc-partial", "notes.evc-partial"})
        tqtest::WriteWholeFile(Output(name), "x");
    Source("one.wav", "ok");
    const std::string killed = Source("killed.wav", "killed");
    proc.ConvertAll(rows);

    EXPECT_TRUE(Exists(Output("one.mp3"))); // the leftover did not make its name taken
    EXPECT_FALSE(Exists(Output("one_1.mp3")));
    EXPECT_FALSE(Exists(Output(".one.mp3.evc-partial")));
    EXPECT_FALSE(Exists(Output(".old.ogg.evc-partial")));
    EXPECT_TRUE(Exists(Output("notes.evc-partial")));
    EXPECT_FALSE(Exists(Output("killed.mp3")));
    EXPECT_FALSE(Exists(PartialOutputPath(Output("killed.mp3"))));
    ASSERT_EQ(proc.FailedRows().size(), 1u);
    EXPECT_EQ(proc.FailedRows()[0].FileName, killed);
    EXPECT_EQ(proc.FailedRows()[0].Reason, "the encoder was ended by signal 9");
}

TEST_F(BatchDriver, AMissingEncoderFailsEveryRowWithoutWaiting)
{
    std::filesystem::remove(program.File("evc"));
    Source("one.wav", "ok");
    Source("two.wav", "ok");
    proc.ConvertAll(rows);
    ASSERT_EQ(proc.FailedRows().size(), 2u);
    EXPECT_EQ(proc.FailedRows()[0].Reason.rfind("the encoder could not be started: ", 0), 0u);
    ASSERT_EQ(presenter.requests.size(), 1u);
    EXPECT_TRUE(progress.outputs.empty());
    EXPECT_TRUE(mainWindow.enabled);
}

TEST_F(BatchDriver, TheRealPausesCostFiveSecondsPerRow)
{
    TConversionServices services = proc.ConversionServices();
    services.Timings = TConversionTimings();
    proc.ConnectConversion(services);
    Source("one.wav", "ok");
    QElapsedTimer clock;
    clock.start();
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(100);
    proc.ConvertAll(rows);
    // Only a lower bound: a loaded machine makes a row take longer, never shorter.
    EXPECT_GE(clock.elapsed(), 5000);
    EXPECT_GE(ticks, 40); // the pauses kept serving events
    EXPECT_TRUE(Exists(Output("one.mp3")));
}
