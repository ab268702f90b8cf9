#pragma once

#include <QList>
#include <QUrl>
#include <functional>
#include <string>
#include <vector>

class ISourceFileDialog;
class ISourceFolderMemory;
class TJobGrid;
class TJobListFunc;

// What the main window's job-list controls do: the open path, remove, clear, the Delete key,
// dragging rows out and dropping files. Every removal stops the preview afterwards.
class TJobListEvents
{
public:
    TJobListEvents(TJobListFunc &func, TJobGrid &grid, ISourceFileDialog &dialog,
                   ISourceFolderMemory &folderMemory, std::function<void()> stopPlay);

    // Connects the grid's Delete key, row-drag and file-drop signals to the handlers below.
    void ConnectGrid();

    void btnOpenFileClick();
    void btnRemoveFileClick();
    void btnClearFileClick();
    void dxTreeSourceFileInfoKeyDown();
    void dxTreeSourceFileInfoEndDrag(bool droppedOnGrid);
    // Names dropped on the main window or the grid, in the order given; no repeats removed.
    void FormDropFiles(const std::vector<std::string> &names);

    // The local files among dropped URLs, as full paths of any length.
    static std::vector<std::string> DroppedFileNames(const QList<QUrl> &urls);

private:
    TJobListFunc &m_func;
    TJobGrid &m_grid;
    ISourceFileDialog &m_dialog;
    ISourceFolderMemory &m_folderMemory;
    std::function<void()> m_stopPlay;
};
