#pragma once

#include "conversion/ConversionState.h"
#include "conversion/ConversionTimings.h"
#include "conversion/ProcessLookup.h"

#include <string>
#include <vector>

class TAppFunc;
class TConversionLib;
class TConversionSettings;
class TFileFunc;
class TJobRows;
class TMainWindowControls;
class TMessageBoxes;
class TProgressDisplay;

namespace platform {
class DesktopOpener;
class PowerControl;
} // namespace platform

// Everything the conversion operations use besides their own state. Handed over once, when
// all service objects and windows exist.
struct TConversionServices
{
    std::string ProgramFolder; // ends with "/"
    TConversionLib *CommonLib = nullptr;
    const TAppFunc *AppFunc = nullptr;
    TFileFunc *FileFunc = nullptr;
    const TMessageBoxes *Messages = nullptr;
    TConversionSettings *Settings = nullptr;
    TProgressDisplay *Progress = nullptr;
    TMainWindowControls *MainWindow = nullptr;
    platform::DesktopOpener *Opener = nullptr;
    platform::PowerControl *Power = nullptr;
    TConversionTimings Timings;
};

// A row whose conversion failed, with the reason the encoder gave.
struct TFailedRow
{
    std::string FileName;
    std::string Reason;
};

// The conversion part of the custom procedures: the conversion state, the command builder and
// the batch driver with its end-of-job actions.
class TConversionProc : public TConversionState
{
public:
    // Also connects the common library's encoder stopping: it logs through the same AppFunc,
    // warns through the same message boxes and waits with the same timings.
    void ConnectConversion(const TConversionServices &services);
    // The process list in which the driver looks for any encoder before it clears unfinished
    // files; the system's own unless another was given (tests).
    void UseProcessTable(platform::ProcessTable &table) { m_lookup.UseProcessTable(table); }
    const TConversionServices &ConversionServices() const { return m_services; }

    std::string BuildCommandLine(const TJobRows &rows, const std::string &sourcePath);
    std::string StartTimeOf(const TJobRows &rows, const std::string &sourcePath);
    std::string SegmentLengthOf(const TJobRows &rows, const std::string &sourcePath);
    std::string PrepareOutputFolder();

    // Converts the checked rows one after another; returns when the batch has ended. Does
    // nothing while a batch is still running (after a Stop it winds down for a few seconds).
    void ConvertAll(const TJobRows &rows);
    bool Converting() const { return m_converting; }
    // Marks the batch as stopped: the current row's encoder is not started if it has not been
    // yet, and no further row and no end-of-job action follows.
    void RequestStop();

    void OpenFolderInExplorer(const std::string &folder);
    void ShutdownComputer();

    // The rows that failed in the latest batch.
    const std::vector<TFailedRow> &FailedRows() const { return m_failedRows; }

    static constexpr const char *kEmptyListWarning =
        "Please add media files you want to convert into the list.";

private:
    void RequireConnected() const;
    void RunBatch(const TJobRows &rows, bool &quitting);
    void ConvertRow(const TJobRows &rows);
    void RemoveLeftoverPartialOutputs(const std::string &folder);
    void RecordFailure(const std::string &fileName, const std::string &reason);
    void RunEndOfJobActions(bool &quitting);
    void ReportFailures();
    void Log(const std::string &message) const;

    TConversionServices m_services;
    TProcessLookup m_lookup;
    std::vector<TFailedRow> m_failedRows;
    bool m_converting = false;
};
