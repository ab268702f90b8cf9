#include "conversion/ConversionProc.h"

#include "conversion/AdvanceSystem.h"
#include "conversion/CommandBuilder.h"
#include "conversion/ConversionLib.h"
#include "conversion/ConversionWindows.h"
#include "conversion/EventPause.h"
#include "conversion/PartialOutputs.h"
#include "platform/CommandLine.h"
#include "platform/DesktopOpener.h"
#include "platform/PowerControl.h"
#include "platform/ProcessTable.h"
#include "platform/SiblingFiles.h"
#include "support/AppFunc.h"
#include "support/FileFunc.h"
#include "support/MessageBoxes.h"
#include "toolkit/JobRows.h"

#include <stdexcept>

namespace {

constexpr const char *kCheckedText = "True";
constexpr int kWarningKind = 1;
// A failure warning names at most this many files; the log holds them all.
constexpr std::size_t kMaxListedFailures = 15;

// The last non-empty line of a piece of console output, without surrounding blanks.
std::string LastLineOf(const std::string &text)
{
    std::size_t end = text.find_last_not_of(" \t\r\n");
    if (end == std::string::npos)
        return {};
    const std::size_t start = text.find_last_of("\r\n", end);
    std::string line = text.substr(start == std::string::npos ? 0 : start + 1,
                                   end - (start == std::string::npos ? 0 : start + 1) + 1);
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : line.substr(first);
}

// Marks a batch as running for its whole length, with Convert disabled, and, whichever way it
// ends (to the end, after a Stop, or through an error on its way to the error display), hides
// the progress window and enables the main window and Convert again, so the program stays
// usable.
class TBatchScope
{
public:
    TBatchScope(bool &running, TProgressDisplay &progress, TMainWindowControls &mainWindow)
        : m_running(running), m_progress(progress), m_mainWindow(mainWindow)
    {
        m_running = true;
        m_mainWindow.SetConvertEnabled(false);
    }
    TBatchScope(const TBatchScope &) = delete;
    TBatchScope &operator=(const TBatchScope &) = delete;
    ~TBatchScope()
    {
        m_running = false;
        if (m_applicationEnding)
            return;
        m_progress.HideProgress();
        m_mainWindow.SetMainWindowEnabled(true);
        m_mainWindow.SetConvertEnabled(true);
    }
    // The application ends after the power-off request: the windows are left as they are.
    void ApplicationEnding() { m_applicationEnding = true; }

private:
    bool &m_running;
    TProgressDisplay &m_progress;
    TMainWindowControls &m_mainWindow;
    bool m_applicationEnding = false;
};

// Makes the encoder of one row known to the stopping while it runs, and forgets it whichever
// way the row ends; by then the runner has reaped it.
class TRunningEncoderScope
{
public:
    TRunningEncoderScope(TConversionLib &lib, TAdvanceSystem &runner) : m_lib(lib)
    {
        runner.OnStarted([&lib](long processId) { lib.SetRunningEncoder(processId); });
    }
    TRunningEncoderScope(const TRunningEncoderScope &) = delete;
    TRunningEncoderScope &operator=(const TRunningEncoderScope &) = delete;
    ~TRunningEncoderScope() { m_lib.SetRunningEncoder(0); }

private:
    TConversionLib &m_lib;
};

// The output path: the command line's last argument.
std::string OutputPathOf(const std::string &commandLine)
{
    const std::vector<std::string> arguments = platform::SplitCommandLine(commandLine);
    return arguments.empty() ? std::string() : arguments.back();
}

} // namespace

void TConversionProc::ConnectConversion(const TConversionServices &services)
{
    m_services = services;
    if (services.CommonLib == nullptr || services.AppFunc == nullptr)
        return;
    const TMessageBoxes *messages = services.Messages;
    services.CommonLib->ConnectStopping(*services.AppFunc, [messages](const std::string &text) {
        if (messages != nullptr)
            messages->ShowMsg(text, 1);
    });
    services.CommonLib->SetStopTimings(services.Timings);
    services.CommonLib->SetEncoderPath(services.ProgramFolder + platform::kEncoderFileName);
}

void TConversionProc::RequireConnected() const
{
    const TConversionServices &s = m_services;
    if (s.CommonLib == nullptr || s.AppFunc == nullptr || s.FileFunc == nullptr ||
        s.Messages == nullptr || s.Settings == nullptr || s.Progress == nullptr ||
        s.MainWindow == nullptr)
        throw std::logic_error("The conversion services are not connected.");
}

void TConversionProc::Log(const std::string &message) const
{
    m_services.AppFunc->WriteLog(message);
}

std::string TConversionProc::BuildCommandLine(const TJobRows &rows, const std::string &sourcePath)
{
    RequireConnected();
    TCommandBuilder builder(m_services.ProgramFolder, *m_services.Settings, *m_services.FileFunc,
                            *m_services.AppFunc, m_services.CommonLib->ConvertParameter, *this);
    return builder.BuildCommandLine(rows, sourcePath);
}

std::string TConversionProc::StartTimeOf(const TJobRows &rows, const std::string &sourcePath)
{
    RequireConnected();
    TCommandBuilder builder(m_services.ProgramFolder, *m_services.Settings, *m_services.FileFunc,
                            *m_services.AppFunc, m_services.CommonLib->ConvertParameter, *this);
    return builder.StartTimeOf(rows, sourcePath);
}

std::string TConversionProc::SegmentLengthOf(const TJobRows &rows, const std::string &sourcePath)
{
    RequireConnected();
    TCommandBuilder builder(m_services.ProgramFolder, *m_services.Settings, *m_services.FileFunc,
                            *m_services.AppFunc, m_services.CommonLib->ConvertParameter, *this);
    return builder.SegmentLengthOf(rows, sourcePath);
}

std::string TConversionProc::PrepareOutputFolder()
{
    RequireConnected();
    TCommandBuilder builder(m_services.ProgramFolder, *m_services.Settings, *m_services.FileFunc,
                            *m_services.AppFunc, m_services.CommonLib->ConvertParameter, *this);
    return builder.PrepareOutputFolder();
}

void TConversionProc::RequestStop()
{
    StopRequested = true;
    RowIndex = kStoppedRowIndex;
}

void TConversionProc::ConvertAll(const TJobRows &rows)
{
    RequireConnected();
    // Stop enables the main window while the stopped batch is still winding down further up
    // the stack; a Convert click in that time is ignored rather than run inside it.
    if (m_converting)
        return;
    bool quitting = false;
    {
        TBatchScope batch(m_converting, *m_services.Progress, *m_services.MainWindow);
        RunBatch(rows, quitting);
        if (quitting)
            batch.ApplicationEnding();
    }
    if (!quitting)
        ReportFailures();
}

void TConversionProc::RunBatch(const TJobRows &rows, bool &quitting)
{
    RowIndex = 0;
    RowCount = rows.RowCount();
    StopRequested = false;
    m_failedRows.clear();
    m_services.CommonLib->ResetStopNotice();

    if (RowCount == 0) {
        m_services.Messages->ShowMsg(kEmptyListWarning, kWarningKind);
        return;
    }
    while (!StopRequested && RowIndex <= rows.RowCount() - 1) {
        if (rows.CellText(RowIndex, JobColumn::CheckStatus) == kCheckedText)
            ConvertRow(rows);
        ++RowIndex;
    }
    if (!StopRequested)
        RunEndOfJobActions(quitting);
}

void TConversionProc::ConvertRow(const TJobRows &rows)
{
    const std::string fileName = rows.CellText(RowIndex, JobColumn::FileName);
    CommandLine = BuildCommandLine(rows, fileName);
    Log("parameter: " + CommandLine);
    const std::string outputPath = OutputPathOf(CommandLine);
    RemoveLeftoverPartialOutputs(TFileFunc::FolderOf(outputPath));
    RefreshCount = 0;
    m_services.Progress->ResetCurrentFileBar();

    TAdvanceSystem runner(m_services.ProgramFolder, m_services.Timings.AfterOutputMs);
    TRunningEncoderScope runningEncoder(*m_services.CommonLib, runner);
    m_services.Progress->ShowProgress();
    m_services.MainWindow->SetMainWindowEnabled(false);
    PauseProcessingEvents(m_services.Timings.BeforeStartMs);

    // After a Stop in the pause above this row's encoder is not started at all. The closing
    // pause still runs, so a stopped batch always winds down the same way, whenever the Stop
    // came.
    bool started = false;
    if (!StopRequested) {
        TProgressDisplay *progress = m_services.Progress;
        started = runner.RunConsoleProcess(CommandLine, [progress](const std::string &text) {
            progress->ShowEncoderOutput(text);
        });
    }
    PauseProcessingEvents(m_services.Timings.AfterEndMs);
    // Only this batch's own encoder is waited for: another program's (a second window's) runs
    // on while this batch goes on.
    while (m_services.CommonLib->IsOwnEncoderRunning(platform::kEncoderFileName) != 0)
        PauseProcessingEvents(m_services.Timings.ProcessPollMs);
    // A stopped or killed encoder leaves its unfinished file; a finished one has renamed it.
    std::string error;
    if (!RemovePartialOutput(outputPath, &error))
        Log("Remove unfinished output error. ->" + outputPath + "|" + error);

    if (StopRequested)
        return; // ended by the user, not failed
    if (!started)
        RecordFailure(fileName, "the encoder could not be started: " + runner.StartError());
    else if (runner.EndSignal() != 0)
        RecordFailure(fileName,
                      "the encoder was ended by signal " + std::to_string(runner.EndSignal()));
    else if (runner.ExitCode() != 0)
        RecordFailure(fileName,
                      LastLineOf(runner.LastOutput()).empty()
                          ? "the encoder ended with exit code " + std::to_string(runner.ExitCode())
                          : LastLineOf(runner.LastOutput()));
}

void TConversionProc::RemoveLeftoverPartialOutputs(const std::string &folder)
{
    // Only while no encoder runs anywhere: one of another program (a second window) might be
    // writing its unfinished file there.
    if (m_lookup.IsProcessRunning(platform::kEncoderFileName) != 0)
        return;
    for (const std::string &path : RemovePartialOutputsIn(folder))
        Log("Remove unfinished output error. ->" + path);
}

void TConversionProc::RecordFailure(const std::string &fileName, const std::string &reason)
{
    m_failedRows.push_back({fileName, reason});
    Log("Conversion error. ->" + fileName + "|" + reason);
}

void TConversionProc::RunEndOfJobActions(bool &quitting)
{
    if (m_services.MainWindow->ShowOutputDirectoryChecked() &&
        !m_services.CommonLib->ConvertParameter.OutputFolder.empty())
        OpenFolderInExplorer(m_services.CommonLib->ConvertParameter.OutputFolder);
    if (m_services.MainWindow->ShutdownChecked()) {
        ShutdownComputer();
        m_services.MainWindow->QuitApplication();
        quitting = true;
    }
}

void TConversionProc::ReportFailures()
{
    if (m_failedRows.empty())
        return;
    std::string text = m_failedRows.size() == 1 ? "This file could not be converted:"
                                                : "These files could not be converted:";
    for (std::size_t i = 0; i < m_failedRows.size() && i < kMaxListedFailures; ++i)
        text += "\n\n" + m_failedRows[i].FileName + "\n    " + m_failedRows[i].Reason;
    if (m_failedRows.size() > kMaxListedFailures)
        text += "\n\nand " + std::to_string(m_failedRows.size() - kMaxListedFailures) +
                " more (see log.txt).";
    m_services.Messages->ShowMsg(text, kWarningKind);
}

void TConversionProc::OpenFolderInExplorer(const std::string &folder)
{
    RequireConnected();
    if (m_services.Opener == nullptr || !m_services.Opener->Open(folder))
        Log("Open output directory error. ->" + folder);
}

void TConversionProc::ShutdownComputer()
{
    RequireConnected();
    platform::EnablePrivilege("SeShutdownPrivilege", true);
    std::string error;
    if (m_services.Power == nullptr)
        error = "no power control";
    else if (m_services.Power->PowerOff(&error))
        return;
    Log("Shutdown error. ->" + error);
}
