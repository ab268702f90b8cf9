#pragma once

#include "RecordingDesktopOpener.h"
#include "SupportFakes.h"
#include "TestFolder.h"
#include "shell/TonequillApp.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <memory>
#include <string>
#include <vector>

namespace tqtest {

// A temporary program folder with copies of the sibling files the build made, and the fakes
// the program's platform services are replaced with.
class ShellFixture
{
public:
    enum Siblings
    {
        WithSiblings,
        WithoutSiblings
    };

    explicit ShellFixture(Siblings siblings = WithSiblings)
    {
        QDir().mkpath(QString::fromStdString(folder.File("Config")));
        if (siblings == WithSiblings)
            for (const char *name : {"Form.so", "Res.so", "Help.html"})
                CopySibling(name);
    }

    void CopySibling(const char *name)
    {
        const QString from = qEnvironmentVariable("TQ_PROGRAM_DIR") + "/" + name;
        QFile::copy(from, QString::fromStdString(folder.File(name)));
    }

    TShellPlatform Platform()
    {
        TShellPlatform platform;
        platform.Application = qApp;
        platform.ProgramFolder = folder.Path();
        platform.Presenter = &presenter;
        platform.FolderDialog = &folderDialog;
        platform.Opener = &opener;
        platform.ServiceCreated = [this](const char *name) { created.push_back(name); };
        return platform;
    }

    std::unique_ptr<TTonequillApp> Start()
    {
        auto app = std::make_unique<TTonequillApp>(Platform());
        app->Show();
        return app;
    }

    TestFolder folder;
    RecordingPresenter presenter;
    ScriptedFolderDialog folderDialog;
    RecordingDesktopOpener opener;
    std::vector<std::string> created;
};

} // namespace tqtest
