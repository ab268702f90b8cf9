#include "joblist/JobListEvents.h"

#include "ScriptedSourceFileDialog.h"
#include "SupportFakes.h"
#include "TestFolder.h"
#include "TestMedia.h"
#include "joblist/JobListFunc.h"
#include "joblist/SourceFolderMemory.h"
#include "toolkit/JobGrid.h"

#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class TMemoryFolder : public ISourceFolderMemory
{
public:
    std::string ReadInitDir() override { return folder; }
    void SaveInitDir(const std::string &value) override
    {
        folder = value;
        ++saves;
    }
    std::string folder = "/start/";
    int saves = 0;
};

// The list events over the real grid, with a scripted file dialog and folder memory.
class JobListEventsTest : public ::testing::Test
{
protected:
    tqtest::TestFolder folder;
    tqtest::RecordingPresenter presenter;
    TMessageBoxes boxes{presenter};
    TJobListFunc func{boxes};
    TJobGrid grid;
    tqtest::ScriptedSourceFileDialog dialog;
    TMemoryFolder memory;
    int stops = 0;
    TJobListEvents events{func, grid, dialog, memory, [this] { ++stops; }};
};

// Five rows named 1 to 5, with the given rows (1-based) selected and one focused.
class RemovalTest : public JobListEventsTest
{
protected:
    void SetUp() override
    {
        for (int i = 1; i <= 5; ++i)
            grid.AppendRow({"True", std::to_string(i), "1 KB", "00:00:09", "00:00:00", "00:00:09",
                            "00:00:09"});
    }
    void Select(std::initializer_list<int> rows, int focused)
    {
        grid.ClearRowSelection();
        grid.SetFocusedRow(focused - 1);
        for (int row : rows)
            grid.SetRowSelected(row - 1, true);
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (int row = 0; row < grid.RowCount(); ++row)
            names.push_back(grid.CellText(row, JobColumn::FileName));
        return names;
    }
};

TEST_F(RemovalTest, NothingSelectedRemovesNothingButStillStopsThePreview)
{
    grid.ClearRowSelection();
    events.btnRemoveFileClick();

    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(stops, 1);
}

TEST_F(RemovalTest, DeleteKeyWithAnyModifiersRemovesTheSelectedRows)
{
    grid.show();
    for (Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier),
          Qt::KeyboardModifiers(Qt::ControlModifier)}) {
        events.ConnectGrid();
        Select({1}, 1);
        const int before = grid.RowCount();
        QTest::keyClick(&grid, Qt::Key_Delete, modifiers);
        EXPECT_EQ(grid.RowCount(), before - 1);
        QObject::disconnect(&grid, nullptr, &grid, nullptr);
    }
    EXPECT_EQ(stops, 3);
    EXPECT_EQ(Names(), (std::vector<std::string>{"4", "5"}));
}

TEST_F(RemovalTest, OtherKeysKeepTheGridNavigation)
{
    grid.show();
    events.ConnectGrid();
    grid.setFocus();
    Select({1}, 1);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.FocusedRow(), 1);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(stops, 0);
}

TEST_F(RemovalTest, RowsDraggedOutAreRemovedAndRowsDroppedOnTheGridStay)
{
    Select({2, 3}, 3);
    events.dxTreeSourceFileInfoEndDrag(true);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(stops, 0);

    events.dxTreeSourceFileInfoEndDrag(false);
    EXPECT_EQ(Names(), (std::vector<std::string>{"1", "4", "5"}));
    EXPECT_EQ(stops, 1);
}

TEST_F(RemovalTest, ClearDeletesEveryRowAndStopsThePreview)
{
    events.btnClearFileClick();
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_EQ(stops, 1);
}

using OpenPathTest = JobListEventsTest;

TEST_F(OpenPathTest, ChosenFilesAreAddedOnceAndTheirFolderRemembered)
{
    const std::string a = folder.File("a.wav");
    const std::string b = folder.File("b.ogg");
    ASSERT_TRUE(tqtest::MakeToneFile(a, {}));
    ASSERT_TRUE(tqtest::MakeToneFile(b, {}));
    dialog.files = {b, a, b};

    events.btnOpenFileClick();

    EXPECT_EQ(dialog.initialFolder, "/start/");
    ASSERT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.CellText(0, JobColumn::FileName), b);
    EXPECT_EQ(grid.CellText(1, JobColumn::FileName), a);
    EXPECT_EQ(memory.folder, folder.Path());
}

TEST_F(OpenPathTest, CancelAddsNothingAndWritesTheFolderOnlyAfterAnEarlierChoice)
{
    dialog.accept = false;
    events.btnOpenFileClick();
    EXPECT_EQ(memory.saves, 0);

    dialog.accept = true;
    dialog.files = {"/elsewhere/x.txt"};
    events.btnOpenFileClick();
    dialog.accept = false;
    memory.folder = "/start/";
    events.btnOpenFileClick();

    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_EQ(memory.saves, 2);
    EXPECT_EQ(memory.folder, "/elsewhere/");
}

TEST_F(JobListEventsTest, DroppedNamesLongerThan254CharactersAreKeptWhole)
{
    std::string deep = folder.Path();
    while (deep.size() < 300)
        deep += std::string(40, 'd') + "/";
    QDir().mkpath(QString::fromStdString(deep));
    const std::string path = deep + std::string(60, 'n') + ".wav";
    tqtest::ToneSpec spec;
    ASSERT_TRUE(tqtest::MakeToneFile(path, spec));

    const QList<QUrl> urls{QUrl::fromLocalFile(QString::fromStdString(path)),
                           QUrl("https://example.org/a.mp3")};
    const std::vector<std::string> names = TJobListEvents::DroppedFileNames(urls);
    ASSERT_EQ(names, std::vector<std::string>{path});
    func.AddFilesToList(grid, names);

    ASSERT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.CellText(0, JobColumn::FileName), path);
}

} // namespace
