#pragma once

// The conversion services wired as the program wires them, with fakes for the windows, the
// desktop and the power switch. Header-only; include it only from tests that link the program's
// libraries.

#include "ConversionFakes.h"
#include "TestFolder.h"
#include "conversion/ConversionLib.h"
#include "conversion/ConversionProc.h"
#include "support/AppFunc.h"
#include "support/FileFunc.h"

#include <string>

namespace tqtest {

// Pauses short enough that a batch of a few rows takes well under a second of waiting.
inline TConversionTimings ShortTimings()
{
    TConversionTimings timings;
    timings.BeforeStartMs = 50;
    timings.AfterEndMs = 50;
    timings.ProcessPollMs = 20;
    timings.AfterOutputMs = 50;
    timings.StopPollMs = 20;
    return timings;
}

// A batch driver and the common library on one set of services. The log is written into
// `program`; the encoder is looked for in the folder given to Connect. Only the children of the
// test process are ever seen or ended.
class ConversionRig
{
public:
    ConversionRig() : appFunc(program.Path()), messages(presenter) {}

    // Hands every service to the batch driver, as the program does once its windows exist;
    // `timings` may be changed before.
    void Connect(TProgressDisplay &display, const std::string &programFolder)
    {
        m_display = &display;
        lib.UseProcessTable(table);
        proc.UseProcessTable(table);
        TConversionServices services;
        services.ProgramFolder = programFolder;
        services.CommonLib = &lib;
        services.AppFunc = &appFunc;
        services.FileFunc = &fileFunc;
        services.Messages = &messages;
        services.Settings = &settings;
        services.Progress = &display;
        services.MainWindow = &mainWindow;
        services.Opener = &opener;
        services.Power = &power;
        services.Timings = timings;
        proc.ConnectConversion(services);
    }

    // What the progress window's Stop button does once the user has said Yes.
    void StopLikeTheStopButton()
    {
        if (m_display != nullptr)
            m_display->HideProgress();
        mainWindow.SetMainWindowEnabled(true);
        proc.RequestStop();
        lib.StopEncoder(lib.ConvertParameter.EncoderPath);
        lib.StopEncoder("evc");
    }

    std::string Log() const { return ReadWholeFile(appFunc.LogPath()); }

    TestFolder program;
    TAppFunc appFunc;
    TFileFunc fileFunc;
    RecordingPresenter presenter;
    TMessageBoxes messages;
    FakeSettings settings;
    MemoryJobRows rows;
    ChildrenOnlyTable table;
    RecordingDesktopOpener opener;
    RecordingPower power;
    FakeMainWindow mainWindow;
    TConversionLib lib;
    TConversionProc proc;
    TConversionTimings timings = ShortTimings();

private:
    TProgressDisplay *m_display = nullptr;
};

} // namespace tqtest
