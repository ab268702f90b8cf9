#include "shell/TonequillApp.h"

#include "conversion/FrmConverting.h"
#include "formats/FrmOption.h"
#include "formats/InputNamePrompt.h"
#include "platform/SiblingFiles.h"
#include "shell/ConversionBinding.h"
#include "shell/MainForm.h"
#include "shell/ServiceObjects.h"
#include "shell/SiblingCheck.h"
#include "shell/SystemActions.h"
#include "support/MessageBoxes.h"
#include "support/OutputFolderChooser.h"

#include <QApplication>
#include <QTimer>

TTonequillApp::TTonequillApp(const TShellPlatform &platform) : m_platform(platform)
{
    m_messages = std::make_unique<TMessageBoxes>(*m_platform.Presenter);
    m_namePrompt = std::make_unique<TInputNamePrompt>(*m_messages);
    m_folderChooser = std::make_unique<TOutputFolderChooser>(*m_platform.FolderDialog, *m_messages);
    m_services = std::make_unique<TServiceObjects>(m_platform.ProgramFolder, *m_platform.Presenter,
                                                   *m_namePrompt, m_platform.ServiceCreated);
    if (!CheckSiblingFiles(m_platform.ProgramFolder, *m_messages))
        return;
    m_actions = std::make_unique<TSystemActions>(m_softInfo, *m_platform.Opener,
                                                 static_cast<void *>(m_platform.Application));
    CreateWindows();
}

void TTonequillApp::CreateWindows()
{
    TMainFormContext context;
    context.Services = m_services.get();
    context.SoftInfo = &m_softInfo;
    context.Actions = m_actions.get();
    context.FolderChooser = m_folderChooser.get();
    context.ScreenSaver = m_platform.ScreenSaver;
    context.SourceDialog = m_platform.SourceDialog;
    context.ProgramFolder = m_platform.ProgramFolder;
    context.ResourceLibraryPath = m_platform.ProgramFolder + platform::kResourceLibraryFileName;
    m_mainForm = std::make_unique<TFrmMainForm>(context);
    m_namePrompt->SetParentWindow(m_mainForm.get());

    TCustomProc &customProc = m_services->CustomProc();
    // No owner: the batch driver disables the main window while the progress window must stay
    // usable for Stop.
    m_progress = std::make_unique<TfrmConverting>(customProc, m_services->CommonLib(), *m_messages,
                                                  *m_mainForm);
    m_progress->hide();

    m_options = new TfrmOption(m_services->CustomProc(), m_mainForm->cbbProfile, m_mainForm.get());
    m_options->hide();
    m_mainForm->SetOptionsDialog(m_options);
    ConnectConversion();
}

void TTonequillApp::ConnectConversion()
{
    TCustomProc &customProc = m_services->CustomProc();
    TCommonLib &commonLib = m_services->CommonLib();
    m_conversionBinding = std::make_unique<TConversionBinding>(customProc, *m_mainForm);
    TConversionServices services;
    services.ProgramFolder = m_platform.ProgramFolder;
    services.CommonLib = &commonLib;
    services.AppFunc = &m_services->AppFunc();
    services.FileFunc = &m_services->FileFunc();
    services.Messages = m_messages.get();
    services.Settings = m_conversionBinding.get();
    services.Progress = m_progress.get();
    services.MainWindow = m_mainForm.get();
    services.Opener = m_platform.Opener;
    services.Power = m_platform.Power;
    services.Timings = m_platform.ConversionTimings;
    customProc.ConnectConversion(services);
}

TTonequillApp::~TTonequillApp()
{
    m_progress.reset();
    m_mainForm.reset();
}

void TTonequillApp::Show()
{
    if (!m_mainForm)
        return;
    m_mainForm->show();
    if (!m_platform.FilesToOpen.empty())
        QTimer::singleShot(0, m_mainForm.get(),
                           [this] { m_mainForm->FormDropFiles(m_platform.FilesToOpen); });
}
