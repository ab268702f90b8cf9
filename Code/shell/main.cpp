#include "joblist/QtSourceFileDialog.h"
#include "platform/FileSystem.h"
#include "platform/PowerControl.h"
#include "platform/ProcessTable.h"
#include "platform/ScreenSaver.h"
#include "platform/posix/DesktopServicesOpener.h"
#include "shell/CommandLineFiles.h"
#include "shell/TonequillApp.h"
#include "support/GuardedApplication.h"
#include "support/MessageBoxes.h"
#include "support/QtFolderDialog.h"
#include "support/QtMessagePresenter.h"

#include <QDir>

int main(int argc, char **argv)
{
    platform::ForgetInheritedStarterMark();
    TGuardedApplication application(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);

    TQtMessagePresenter presenter;
    TQtFolderDialog folderDialog;
    platform::DesktopServicesOpener opener;
    platform::LogindPowerControl power;
    platform::FreedesktopScreenSaverInhibitor screenSaver(kApplicationTitle);
    TQtSourceFileDialog sourceDialog(nullptr);
    TShellPlatform services;
    services.Application = &application;
    services.ProgramFolder = platform::ProgramFolder();
    services.Presenter = &presenter;
    services.FolderDialog = &folderDialog;
    services.Opener = &opener;
    services.Power = &power;
    services.ScreenSaver = &screenSaver;
    services.SourceDialog = &sourceDialog;
    services.FilesToOpen = FilesFromCommandLine(QApplication::arguments(), QDir::currentPath());

    TTonequillApp tonequill(services);
    if (!tonequill.Started())
        return 0;
    tonequill.Show();
    return QApplication::exec();
}
