#include "toolkit/JobGrid.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPalette>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Marks a drag of job rows, so that a drop back onto the grid can be told from a file drop.
const char *const kRowDragFormat = "application/x-tonequill-job-rows";

const QStringList &ColumnCaptions()
{
    static const QStringList captions{"File Name",  "File Size", "Duration",
                                      "Start Time", "End Time",  "Cut Time"};
    return captions;
}

QString ToQt(const std::string &text)
{
    return QString::fromUtf8(text.data(), int(text.size()));
}

std::string FromQt(const QString &text)
{
    return text.toUtf8().toStdString();
}

// The check value is no column of the table (assistive technology would read out a column of
// "True" cells), but data of the row's File Name cell.
constexpr int kCheckRole = Qt::UserRole;

} // namespace

TJobGrid::TJobGrid(QWidget *parent) : QTableWidget(parent)
{
    SetUpColumns();
    KeepSelectionColoursWithoutFocus();

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideMiddle);
    setSortingEnabled(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTabKeyNavigation(false);

    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
    setDefaultDropAction(Qt::MoveAction);
}

const std::vector<int> &TJobGrid::ColumnProportions()
{
    static const std::vector<int> proportions{68, 28, 28, 28, 28, 28};
    return proportions;
}

void TJobGrid::SetUpColumns()
{
    setColumnCount(JobColumn::Count - JobColumn::FileName);
    setHorizontalHeaderLabels(ColumnCaptions());

    QHeaderView *header = horizontalHeader();
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setMinimumSectionSize(16);

    for (int proportion : ColumnProportions())
        m_weights.push_back(proportion);
    connect(header, &QHeaderView::sectionResized, this, &TJobGrid::RememberUserColumnWidths);
}

// A grid that loses focus keeps showing its selection in the active colours.
void TJobGrid::KeepSelectionColoursWithoutFocus()
{
    QPalette colours = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);
}

void TJobGrid::SetHeaderPicture(const QIcon &picture)
{
    for (int column = 0; column < columnCount(); ++column) {
        if (QTableWidgetItem *item = horizontalHeaderItem(column))
            item->setIcon(picture);
    }
}

int TJobGrid::ModelColumn(int column)
{
    return column == JobColumn::CheckStatus ? 0 : column - JobColumn::FileName;
}

bool TJobGrid::IsValidCell(int row, int column) const
{
    return row >= 0 && row < rowCount() && column >= 0 && column < JobColumn::Count;
}

int TJobGrid::RowCount() const
{
    return rowCount();
}

std::string TJobGrid::CellText(int row, int column) const
{
    if (!IsValidCell(row, column))
        return {};
    const QTableWidgetItem *cell = item(row, ModelColumn(column));
    if (cell == nullptr)
        return {};
    return FromQt(column == JobColumn::CheckStatus ? cell->data(kCheckRole).toString()
                                                   : cell->text());
}

void TJobGrid::SetCellText(int row, int column, const std::string &text)
{
    if (!IsValidCell(row, column))
        return;
    QTableWidgetItem *cell = item(row, ModelColumn(column));
    if (cell != nullptr && column == JobColumn::CheckStatus) {
        cell->setData(kCheckRole, ToQt(text));
    } else if (cell != nullptr) {
        cell->setText(ToQt(text));
        cell->setToolTip(column == JobColumn::FileName ? ToQt(text) : QString());
    }
}

bool TJobGrid::IsRowSelected(int row) const
{
    if (row < 0 || row >= rowCount())
        return false;
    return selectionModel()->isRowSelected(row, QModelIndex());
}

int TJobGrid::AppendRow(const std::vector<std::string> &cells)
{
    const int row = rowCount();
    insertRow(row);
    for (int column = 0; column < columnCount(); ++column) {
        auto *cell = new QTableWidgetItem();
        cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled);
        setItem(row, column, cell);
    }
    for (int column = 0; column < JobColumn::Count && column < int(cells.size()); ++column)
        SetCellText(row, column, cells[size_t(column)]);
    return row;
}

void TJobGrid::DeleteRow(int row)
{
    if (row >= 0 && row < rowCount())
        removeRow(row);
}

bool TJobGrid::DeleteAllRows()
{
    setRowCount(0);
    return rowCount() == 0;
}

int TJobGrid::FindRow(const std::string &fileName) const
{
    for (int row = 0; row < rowCount(); ++row) {
        if (CellText(row, JobColumn::FileName) == fileName)
            return row;
    }
    return -1;
}

std::vector<int> TJobGrid::SelectedRows() const
{
    std::vector<int> rows;
    for (int row = 0; row < rowCount(); ++row) {
        if (IsRowSelected(row))
            rows.push_back(row);
    }
    return rows;
}

void TJobGrid::SetRowSelected(int row, bool selected)
{
    if (row < 0 || row >= rowCount())
        return;
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->select(
        index, (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                   QItemSelectionModel::Rows);
}

void TJobGrid::ClearRowSelection()
{
    selectionModel()->clearSelection();
}

int TJobGrid::FocusedRow() const
{
    const QModelIndex current = selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TJobGrid::SetFocusedRow(int row)
{
    const QModelIndex index =
        (row >= 0 && row < rowCount()) ? model()->index(row, 0) : QModelIndex();
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void TJobGrid::BeginUpdate()
{
    if (m_updateDepth++ == 0)
        setUpdatesEnabled(false);
}

void TJobGrid::EndUpdate()
{
    if (m_updateDepth > 0 && --m_updateDepth == 0)
        setUpdatesEnabled(true);
}

void TJobGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete) {
        event->accept();
        emit DeleteKeyPressed();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        if (FocusedRow() >= 0)
            emit ReturnKeyPressed();
        return;
    }
    const int currentBefore = FocusedRow();
    const std::vector<int> selectedBefore = SelectedRows();
    QTableWidget::keyPressEvent(event);
    if (FocusedRow() >= 0 && (FocusedRow() != currentBefore || SelectedRows() != selectedBefore))
        emit RowChosenByKey();
}

// Tabbing into a list where no row is selected chooses its current row (the first one if none
// is current), as a click would: the markers can then be moved at once, also on a list of one
// row, where the arrow keys have nowhere to go.
void TJobGrid::focusInEvent(QFocusEvent *event)
{
    QTableWidget::focusInEvent(event);
    const bool byTab =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (!byTab || rowCount() == 0 || !SelectedRows().empty())
        return;
    const int row = std::max(FocusedRow(), 0);
    SetFocusedRow(row);
    SetRowSelected(row, true);
    emit RowChosenByKey();
}

void TJobGrid::resizeEvent(QResizeEvent *event)
{
    QTableWidget::resizeEvent(event);
    ApplyColumnProportions();
}

// The visible columns share the viewport width by their weights; the weights start at the
// fixed proportions and follow the user's own resizing afterwards.
void TJobGrid::ApplyColumnProportions()
{
    const int available = viewport()->width();
    const double total = std::accumulate(m_weights.begin(), m_weights.end(), 0.0);
    if (available <= 0 || total <= 0)
        return;
    m_applyingWidths = true;
    // Cumulative rounding keeps every column within 1 px of its share and fills the width.
    double cumulative = 0;
    int used = 0;
    for (int column = 0; column < columnCount(); ++column) {
        cumulative += m_weights[size_t(column)];
        const int edge = int(std::lround(available * cumulative / total));
        setColumnWidth(column, std::max(edge - used, 16));
        used = edge;
    }
    m_applyingWidths = false;
}

void TJobGrid::RememberUserColumnWidths(int, int, int)
{
    if (m_applyingWidths)
        return;
    for (int column = 0; column < columnCount(); ++column)
        m_weights[size_t(column)] = columnWidth(column);
}

void TJobGrid::startDrag(Qt::DropActions)
{
    if (SelectedRows().empty())
        return;
    auto *mime = new QMimeData();
    mime->setData(kRowDragFormat, QByteArray());
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    m_droppedOnSelf = false;
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
    emit RowDragFinished(m_droppedOnSelf);
}

void TJobGrid::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(kRowDragFormat) || event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TJobGrid::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasFormat(kRowDragFormat) || event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TJobGrid::dropEvent(QDropEvent *event)
{
    const QMimeData *mime = event->mimeData();
    if (mime->hasFormat(kRowDragFormat)) {
        // Rows are never reordered: a drop back onto the grid changes nothing.
        m_droppedOnSelf = true;
        event->setDropAction(Qt::IgnoreAction);
        event->accept();
        return;
    }
    QStringList paths;
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    event->acceptProposedAction();
    if (!paths.isEmpty())
        emit FilesDropped(paths);
}
