#include "toolkit/JobGrid.h"

#include "MemoryJobRows.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void AddRows(TJobGrid &grid, int count)
{
    for (int i = 0; i < count; ++i)
        grid.AppendRow({"True", "/m/" + std::to_string(i) + ".mp3", "1 KB", "00:00:09", "00:00:00",
                        "00:00:09", "00:00:09"});
}

TEST(JobGrid, HasSixCaptionedColumnsAndKeepsTheCheckValueOutOfThem)
{
    TJobGrid grid;
    ASSERT_EQ(grid.columnCount(), 6);
    QStringList captions;
    for (int column = 0; column < grid.columnCount(); ++column) {
        EXPECT_FALSE(grid.isColumnHidden(column));
        captions << grid.horizontalHeaderItem(column)->text();
    }
    AddRows(grid, 1);
    EXPECT_EQ(grid.CellText(0, JobColumn::CheckStatus), "True");
    EXPECT_EQ(grid.item(0, 0)->text().toStdString(), "/m/0.mp3");
    EXPECT_EQ(captions, (QStringList{"File Name", "File Size", "Duration", "Start Time", "End Time",
                                     "Cut Time"}));
    EXPECT_FALSE(grid.horizontalHeader()->sectionsMovable());
    EXPECT_EQ(grid.horizontalHeader()->sectionResizeMode(1), QHeaderView::Interactive);
}

TEST(JobGrid, VisibleColumnsShareTheWidthInFixedProportions)
{
    TJobGrid grid;
    grid.resize(557, 158);
    grid.show();
    QApplication::processEvents();
    const int available = grid.viewport()->width();
    int total = 0;
    for (int column = 0; column < grid.columnCount(); ++column)
        total += grid.columnWidth(column);
    EXPECT_EQ(total, available);
    const double fileName = grid.columnWidth(0);
    for (int column = 1; column < grid.columnCount(); ++column)
        EXPECT_NEAR(fileName / grid.columnWidth(column), 68.0 / 28.0, 0.1);
}

TEST(JobGrid, CellsAreAddressedByIndexAndOutOfRangeIsHarmless)
{
    TJobGrid grid;
    AddRows(grid, 2);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.CellText(1, JobColumn::FileName), "/m/1.mp3");
    grid.SetCellText(1, JobColumn::StartTime, "00:00:03");
    EXPECT_EQ(grid.CellText(1, JobColumn::StartTime), "00:00:03");
    EXPECT_EQ(grid.CellText(5, 1), "");
    EXPECT_EQ(grid.CellText(0, 9), "");
    grid.SetCellText(7, 1, "x");
    EXPECT_EQ(grid.FindRow("/m/1.mp3"), 1);
    EXPECT_EQ(grid.FindRow("/M/1.mp3"), -1);
}

TEST(JobGrid, DoubleClickOpensNoEditor)
{
    TJobGrid grid;
    grid.resize(557, 158);
    AddRows(grid, 1);
    grid.show();
    QApplication::processEvents();
    const int startTime = TJobGrid::ModelColumn(JobColumn::StartTime);
    const QRect cell = grid.visualRect(grid.model()->index(0, startTime));
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    for (const QLineEdit *editor : grid.findChildren<QLineEdit *>())
        EXPECT_FALSE(editor->isVisible());
    EXPECT_FALSE(grid.item(0, startTime)->flags() & Qt::ItemIsEditable);
    EXPECT_EQ(grid.CellText(0, JobColumn::StartTime), "00:00:00");
}

TEST(JobGrid, SeveralRowsSelectAndTheSelectionKeepsItsColourWithoutFocus)
{
    TJobGrid grid;
    AddRows(grid, 4);
    grid.SetRowSelected(0, true);
    grid.SetRowSelected(2, true);
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{0, 2}));
    EXPECT_EQ(grid.palette().color(QPalette::Inactive, QPalette::Highlight),
              grid.palette().color(QPalette::Active, QPalette::Highlight));
}

TEST(JobGrid, DroppedLocalFilesAreReported)
{
    TJobGrid grid;
    QSignalSpy dropped(&grid, &TJobGrid::FilesDropped);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/music/a b.mp3"), QUrl("http://host/x.mp3")});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    grid.show();
    QApplication::processEvents();
    EXPECT_TRUE(grid.viewport()->acceptDrops());
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QApplication::sendEvent(grid.viewport(), &drop);
    ASSERT_EQ(dropped.count(), 1);
    EXPECT_EQ(dropped.at(0).at(0).toStringList(), QStringList{"/music/a b.mp3"});
}

// The list operations are tested on rows in memory; these cases hold that stand-in to what the
// grid does when rows are deleted.
template <typename Rows> class JobListRowsContract : public ::testing::Test
{
};
using RowImplementations = ::testing::Types<TJobGrid, tqtest::MemoryJobRows>;
TYPED_TEST_SUITE(JobListRowsContract, RowImplementations);

TYPED_TEST(JobListRowsContract, DeletingRowsMovesTheFocusAndKeepsTheOtherSelections)
{
    struct Case
    {
        int focused, deleted, focusAfter;
    };
    const Case cases[] = {{1, 3, 1}, {3, 1, 2}, {2, 2, 1}, {4, 4, 3}, {0, 0, 0}, {-1, 0, -1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.deleted);
        TypeParam rows;
        for (int i = 0; i < 5; ++i)
            rows.AppendRow({"True", std::to_string(i)});
        rows.SetRowSelected(0, true);
        rows.SetRowSelected(4, true);
        rows.SetFocusedRow(c.focused);

        rows.DeleteRow(c.deleted);
        rows.DeleteRow(9);

        EXPECT_EQ(rows.RowCount(), 4);
        EXPECT_EQ(rows.FocusedRow(), c.focusAfter);
        const std::vector<int> stillSelected = c.deleted == 0   ? std::vector<int>{3}
                                               : c.deleted == 4 ? std::vector<int>{0}
                                                                : std::vector<int>{0, 3};
        EXPECT_EQ(rows.SelectedRows(), stillSelected);
        EXPECT_EQ(rows.FindRow("4"), c.deleted == 4 ? -1 : 3);
    }
    TypeParam rows;
    rows.AppendRow({"True", "only"});
    rows.SetFocusedRow(0);
    EXPECT_TRUE(rows.DeleteAllRows());
    EXPECT_EQ(rows.FocusedRow(), -1);
}

} // namespace
