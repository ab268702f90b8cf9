#pragma once

#include "conversion/ConversionTimings.h"
#include "shell/RecSoftInfo.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class IFolderDialog;
class IMessagePresenter;
class ISourceFileDialog;
class QApplication;
class QWidget;
class TFrmMainForm;
class TInputNamePrompt;
class TMessageBoxes;
class TOutputFolderChooser;
class TServiceObjects;
class TSystemActions;
class TfrmConverting;
class TfrmOption;
class TConversionBinding;

namespace platform {
class DesktopOpener;
class PowerControl;
class ScreenSaverInhibitor;
} // namespace platform

// The platform services the program runs on; main() hands in the real ones, tests fakes.
struct TShellPlatform
{
    QApplication *Application = nullptr;
    std::string ProgramFolder; // ends with "/"
    IMessagePresenter *Presenter = nullptr;
    IFolderDialog *FolderDialog = nullptr;
    platform::DesktopOpener *Opener = nullptr;
    // Powers the machine off when a batch ends with chkShutdown checked.
    platform::PowerControl *Power = nullptr;
    // Holds the screen saver off while a preview video plays; may be null.
    platform::ScreenSaverInhibitor *ScreenSaver = nullptr;
    // The open-file dialog of the job list; when null the main window uses its own Qt dialog.
    ISourceFileDialog *SourceDialog = nullptr;
    // Files named on the command line (Open With): added to the job list as dropped files are,
    // once the main window has been shown.
    std::vector<std::string> FilesToOpen;
    // The pauses of a conversion; tests shorten them.
    TConversionTimings ConversionTimings;
    // Told the class name of each service object as it is created.
    std::function<void(const char *)> ServiceCreated;
};

// The start-up of the program: the service objects, the check for the sibling files, then the
// main window, the progress window and the Options dialog, all hidden until Show().
class TTonequillApp
{
public:
    explicit TTonequillApp(const TShellPlatform &platform);
    ~TTonequillApp();
    TTonequillApp(const TTonequillApp &) = delete;
    TTonequillApp &operator=(const TTonequillApp &) = delete;

    // False when a sibling file was missing: there are no windows and the program ends.
    bool Started() const { return m_mainForm != nullptr; }
    // Shows the main window; its first show fills the lists, shows the splash and applies the
    // selected profile. The files to open follow from the event loop, so that the window is
    // drawn first and a failure reaches the standard error display.
    void Show();

    TServiceObjects &Services() { return *m_services; }
    TFrmMainForm *MainForm() { return m_mainForm.get(); }
    TfrmConverting *ProgressWindow() { return m_progress.get(); }
    TfrmOption *OptionsDialog() { return m_options; }
    const RecSoftInfo &SoftInfo() const { return m_softInfo; }
    const TMessageBoxes &Messages() const { return *m_messages; }

private:
    void CreateWindows();
    void ConnectConversion();

    TShellPlatform m_platform;
    RecSoftInfo m_softInfo;
    std::unique_ptr<TMessageBoxes> m_messages;
    std::unique_ptr<TInputNamePrompt> m_namePrompt;
    std::unique_ptr<TOutputFolderChooser> m_folderChooser;
    std::unique_ptr<TServiceObjects> m_services;
    std::unique_ptr<TSystemActions> m_actions;
    std::unique_ptr<TFrmMainForm> m_mainForm;
    std::unique_ptr<TfrmConverting> m_progress;
    std::unique_ptr<TConversionBinding> m_conversionBinding;
    TfrmOption *m_options = nullptr; // owned by the main window
};
