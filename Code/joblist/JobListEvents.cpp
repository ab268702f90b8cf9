#include "joblist/JobListEvents.h"

#include "joblist/JobListFunc.h"
#include "joblist/SourceFileDialog.h"
#include "joblist/SourceFolderMemory.h"
#include "support/FileFunc.h"
#include "toolkit/JobGrid.h"

#include <QFile>

TJobListEvents::TJobListEvents(TJobListFunc &func, TJobGrid &grid, ISourceFileDialog &dialog,
                               ISourceFolderMemory &folderMemory, std::function<void()> stopPlay)
    : m_func(func), m_grid(grid), m_dialog(dialog), m_folderMemory(folderMemory),
      m_stopPlay(std::move(stopPlay))
{
}

void TJobListEvents::ConnectGrid()
{
    QObject::connect(&m_grid, &TJobGrid::DeleteKeyPressed, &m_grid,
                     [this] { dxTreeSourceFileInfoKeyDown(); });
    QObject::connect(&m_grid, &TJobGrid::RowDragFinished, &m_grid,
                     [this](bool droppedOnGrid) { dxTreeSourceFileInfoEndDrag(droppedOnGrid); });
    QObject::connect(&m_grid, &TJobGrid::FilesDropped, &m_grid, [this](const QStringList &paths) {
        std::vector<std::string> names;
        for (const QString &path : paths)
            names.push_back(QFile::encodeName(path).toStdString());
        FormDropFiles(names);
    });
}

void TJobListEvents::btnOpenFileClick()
{
    const std::string initialFolder = m_folderMemory.ReadInitDir();
    const std::vector<std::string> names =
        TJobListFunc::ChooseSourceFiles(m_dialog, true, initialFolder);
    m_func.AddFilesToList(m_grid, names);
    const std::string chosen = m_dialog.FileName();
    if (!chosen.empty())
        m_folderMemory.SaveInitDir(TFileFunc::FolderOf(chosen));
}

void TJobListEvents::btnRemoveFileClick()
{
    TJobListFunc::RemoveSelectedFiles(m_grid);
    if (m_stopPlay)
        m_stopPlay();
}

void TJobListEvents::btnClearFileClick()
{
    TJobListFunc::ClearFileList(m_grid);
    if (m_stopPlay)
        m_stopPlay();
}

void TJobListEvents::dxTreeSourceFileInfoKeyDown()
{
    btnRemoveFileClick();
}

void TJobListEvents::dxTreeSourceFileInfoEndDrag(bool droppedOnGrid)
{
    if (!droppedOnGrid)
        btnRemoveFileClick();
}

void TJobListEvents::FormDropFiles(const std::vector<std::string> &names)
{
    m_func.AddFilesToList(m_grid, names);
}

std::vector<std::string> TJobListEvents::DroppedFileNames(const QList<QUrl> &urls)
{
    std::vector<std::string> names;
    for (const QUrl &url : urls) {
        if (url.isLocalFile())
            names.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    return names;
}
