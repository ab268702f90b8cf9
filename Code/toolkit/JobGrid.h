#pragma once

#include "toolkit/JobListRows.h"

#include <QIcon>
#include <QStringList>
#include <QTableWidget>
#include <string>
#include <vector>

// The multi-column grid of the job list: a flat table of text rows with a hidden check value
// and six visible columns, several-row selection that stays visible without focus, no cell
// editing, user-resizable but fixed-order columns that share the width 68:28:28:28:28:28, and
// dragging of the selected rows (a drag that ends outside the grid is reported, so that the
// owner can remove the rows). Rows are addressed by index (0 = first), cells by JobColumn.
// The grid is one stop of the Tab chain: the arrow keys move inside it, Tab and Shift+Tab leave.
class TJobGrid : public QTableWidget, public TJobListRows
{
    Q_OBJECT

public:
    explicit TJobGrid(QWidget *parent = nullptr);

    // TJobRows
    int RowCount() const override;
    std::string CellText(int row, int column) const override;
    void SetCellText(int row, int column, const std::string &text) override;
    bool IsRowSelected(int row) const override;

    // TJobListRows
    int AppendRow(const std::vector<std::string> &cells) override;
    void DeleteRow(int row) override;
    bool DeleteAllRows() override;
    int FindRow(const std::string &fileName) const override;
    std::vector<int> SelectedRows() const override;
    void SetRowSelected(int row, bool selected) override;
    void ClearRowSelection() override;
    int FocusedRow() const override;
    void SetFocusedRow(int row) override;
    // Suspends and resumes repainting around a batch of changes.
    void BeginUpdate() override;
    void EndUpdate() override;

    // The small picture shown beside each visible column caption.
    void SetHeaderPicture(const QIcon &picture);

    // The share of the visible width each visible column gets (File Name first).
    static const std::vector<int> &ColumnProportions();
    // The table column that shows a JobColumn (the check value is kept with the File Name).
    static int ModelColumn(int column);

signals:
    // Delete pressed in the grid, with any modifier keys.
    void DeleteKeyPressed();
    // Return or Enter pressed on the current row.
    void ReturnKeyPressed();
    // A key moved the current row or changed the selection (the keyboard's click on a row).
    void RowChosenByKey();
    // A drag of rows that began in the grid has ended; `droppedOnGrid` is false when the rows
    // were dropped elsewhere or the drag was cancelled.
    void RowDragFinished(bool droppedOnGrid);
    // Local files dragged from the desktop and dropped on the grid (paths as the system
    // gives them).
    void FilesDropped(const QStringList &paths);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void SetUpColumns();
    void KeepSelectionColoursWithoutFocus();
    void ApplyColumnProportions();
    void RememberUserColumnWidths(int logicalIndex, int oldSize, int newSize);
    bool IsValidCell(int row, int column) const;

    std::vector<double> m_weights; // per visible column, follows the user's resizing
    bool m_applyingWidths = false;
    bool m_droppedOnSelf = false;
    int m_updateDepth = 0;
};
