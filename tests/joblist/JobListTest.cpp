#include "RecordingBoxes.h"
#include "TestFolder.h"
#include "TestMedia.h"
#include "joblist/JobListEvents.h"
#include "joblist/JobListFunc.h"
#include "joblist/SourceFileDialog.h"
#include "joblist/SourceFolderMemory.h"
#include "support/TextFunc.h"
#include "toolkit/JobGrid.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class TScriptedDialog : public ISourceFileDialog
{
public:
    void SetInitialFolder(const std::string &folder) override { initialFolder = folder; }
    bool Execute() override
    {
        if (!accept)
            return false;
        if (!answer.empty())
            fileName = answer.front();
        return true;
    }
    std::vector<std::string> Files() const override { return answer; }
    std::string FileName() const override { return fileName; }

    bool accept = true;
    std::vector<std::string> answer;
    std::string initialFolder;
    std::string fileName;
};

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

class JobListTest : public ::testing::Test
{
protected:
    std::string Tone(const std::string &name, double seconds)
    {
        tqtest::ToneSpec spec;
        spec.seconds = seconds;
        const std::string path = folder.File(name);
        std::string error;
        EXPECT_TRUE(tqtest::MakeToneFile(path, spec, &error)) << error;
        return path;
    }
    int Warnings() const
    {
        int count = 0;
        for (const auto &request : presenter.requests) {
            EXPECT_EQ(request.text, TJobListFunc::ReadingErrorText);
            EXPECT_EQ(request.icon, TMessageIcon::Warning);
            ++count;
        }
        return count;
    }
    std::vector<std::string> Row(int row) const
    {
        std::vector<std::string> cells;
        for (int column = 0; column < JobColumn::Count; ++column)
            cells.push_back(grid.CellText(row, column));
        return cells;
    }

    tqtest::TestFolder folder;
    TRecordingPresenter presenter;
    TMessageBoxes boxes{presenter};
    TJobListFunc func{boxes};
    TJobGrid grid;
};

TEST_F(JobListTest, EveryPositiveLengthBecomesARowRoundedUpAndCorruptOrEmptyFilesWarn)
{
    // WAV lengths are exact sample counts, so the rows show the rounding alone.
    struct Case
    {
        const char *name;
        double seconds;
        const char *duration;
    };
    const Case cases[] = {{"clip.wav", 0.17, "00:00:01"},
                          {"half.wav", 0.5, "00:00:01"},
                          {"second.wav", 1.0, "00:00:01"},
                          {"almost2.wav", 1.98, "00:00:02"},
                          {"three.wav", 3.0, "00:00:03"}};
    std::vector<std::string> names;
    for (const Case &c : cases)
        names.push_back(Tone(c.name, c.seconds));
    const std::string corrupt = folder.File("corrupt.mp3");
    tqtest::WriteWholeFile(corrupt, std::string(4096, '\x55'));
    const std::string empty = folder.File("empty.wav");
    tqtest::WriteWholeFile(empty, tqtest::PcmWav(44100, 2, 0));
    names.insert(names.begin() + 2, {corrupt, empty});

    func.AddFilesToList(grid, names);

    EXPECT_EQ(Warnings(), 2);
    ASSERT_EQ(grid.RowCount(), int(std::size(cases)));
    for (int row = 0; row < grid.RowCount(); ++row) {
        SCOPED_TRACE(cases[row].name);
        const std::string path = folder.File(cases[row].name);
        const std::string size = TTextFunc::FormatFileSize(QFileInfo(path.c_str()).size());
        const std::string duration = cases[row].duration;
        EXPECT_EQ(Row(row), (std::vector<std::string>{"True", path, size, duration, "00:00:00",
                                                      duration, duration}));
    }
}

TEST_F(JobListTest, DisguisedPlaylistIsAReadingErrorNotARow)
{
    const std::string real = Tone("real.wav", 2.0);
    const std::string playlist = folder.File("movie.avi");
    tqtest::WriteWholeFile(playlist, "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2.0,\n" + real +
                                         "\n#EXT-X-ENDLIST\n");
    // Read as a protocol, this name would join two real files into one medium.
    const std::string concat = "concat:" + real + "|" + real;

    func.AddFilesToList(grid, {playlist, concat});

    EXPECT_EQ(Warnings(), 2);
    EXPECT_EQ(grid.RowCount(), 0);
}

TEST_F(JobListTest, UnacceptedNamesAndFoldersAreSkippedSilently)
{
    tqtest::WriteWholeFile(folder.File("notes.txt"), "text");
    QDir().mkpath(QString::fromStdString(folder.File("Album")));
    QDir().mkpath(QString::fromStdString(folder.File("Live.mp3")));
    const std::string mp4 = Tone("clip.mp4", 1.5);

    func.AddFilesToList(grid, {folder.File("notes.txt"), folder.File("Album"),
                               folder.File("Live.mp3"), folder.File("noextension"), mp4});

    EXPECT_EQ(Warnings(), 0);
    ASSERT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.CellText(0, JobColumn::FileName), mp4);
}

TEST_F(JobListTest, NamesDifferingInCaseAreBothAddedAndExactRepeatsOnce)
{
    const std::string upper = Tone("song.MP3", 1.2);
    const std::string lower = Tone("song.mp3", 1.2);

    func.AddFilesToList(grid, {upper, upper});
    func.AddFilesToList(grid, {lower});
    func.AddFilesToList(grid, {lower});

    EXPECT_EQ(Warnings(), 0);
    ASSERT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.CellText(0, JobColumn::FileName), upper);
    EXPECT_EQ(grid.CellText(1, JobColumn::FileName), lower);
}

// A probe engine that reports a fixed duration for any name.
class TFixedProbe : public MediaEngine
{
public:
    explicit TFixedProbe(int64_t durationMs = 5000) : m_durationMs(durationMs) {}
    bool Active() const override { return m_active; }
    void SetActive(bool active) override { m_active = active; }
    void ClearGraph() override {}
    int RenderFile(const std::string &) override { return 0; }
    void Play() override {}
    void Pause() override {}
    void Stop() override {}
    int64_t DurationMs() const override { return m_durationMs; }
    int64_t CurrentPosition() const override { return 0; }
    void SeekTo(int64_t) override {}
    void SetTimerCallback(TimerCallback) override {}

private:
    bool m_active = false;
    int64_t m_durationMs;
};

TEST(GetMediaDuration, AnyRemainderOfMillisecondsCountsAsOneMoreSecond)
{
    const std::pair<int64_t, int64_t> cases[] = {
        {0, 0},    {-40, 0},  {1, 1},    {999, 1},        {1000, 1},
        {1001, 2}, {1980, 2}, {3000, 3}, {3600001, 3601}, {INT64_MAX, INT64_MAX / 1000 + 1}};
    for (const auto &[milliseconds, seconds] : cases) {
        SCOPED_TRACE(milliseconds);
        TFixedProbe probe(milliseconds);
        EXPECT_EQ(TJobListFunc::GetMediaDuration("any.wav", probe), seconds);
    }
}

TEST_F(JobListTest, FileWhoseSizeCannotBeReadGetsTheWarningAndNoRow)
{
    TJobListFunc fixed(boxes, [] { return std::make_unique<TFixedProbe>(); });
    const std::string present = folder.File("present.mp3");
    tqtest::WriteWholeFile(present, std::string(1536, 'x'));

    fixed.AddFilesToList(grid, {folder.File("vanished.mp3"), present});

    EXPECT_EQ(Warnings(), 1);
    ASSERT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"True", present, TTextFunc::FormatFileSize(1536),
                                                "00:00:05", "00:00:00", "00:00:05", "00:00:05"}));
}

TEST_F(JobListTest, DroppedNamesLongerThan254CharactersAreKeptWhole)
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

// Five rows named 1 to 5, with the given rows (1-based) selected and one focused.
class RemovalTest : public ::testing::Test
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

    TRecordingPresenter presenter;
    TMessageBoxes boxes{presenter};
    TJobListFunc func{boxes};
    TJobGrid grid;
    TScriptedDialog dialog;
    TMemoryFolder memory;
    int stops = 0;
    TJobListEvents events{func, grid, dialog, memory, [this] { ++stops; }};
};

TEST_F(RemovalTest, SurvivingRowAboveTheFocusedOneBecomesFocusedAndSelected)
{
    Select({2, 4, 5}, 4);
    events.btnRemoveFileClick();

    EXPECT_EQ(Names(), (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(grid.FocusedRow(), 1);
    EXPECT_EQ(grid.SelectedRows(), std::vector<int>{1});
    EXPECT_EQ(stops, 1);
}

TEST_F(RemovalTest, RemovedAnchorLeavesNoSelection)
{
    Select({3, 4, 5}, 4);
    events.btnRemoveFileClick();

    EXPECT_EQ(Names(), (std::vector<std::string>{"1", "2"}));
    EXPECT_TRUE(grid.SelectedRows().empty());
}

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

class OpenPathTest : public JobListTest
{
protected:
    TScriptedDialog dialog;
    TMemoryFolder memory;
    TJobListEvents events{func, grid, dialog, memory, [] {}};
};

TEST_F(OpenPathTest, ChosenFilesAreAddedOnceAndTheirFolderRemembered)
{
    const std::string a = Tone("a.wav", 1.0);
    const std::string b = Tone("b.ogg", 1.0);
    dialog.answer = {b, a, b};

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
    dialog.answer = {"/elsewhere/x.txt"};
    events.btnOpenFileClick();
    dialog.accept = false;
    memory.folder = "/start/";
    events.btnOpenFileClick();

    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_EQ(memory.saves, 2);
    EXPECT_EQ(memory.folder, "/elsewhere/");
}

TEST(RemoveDuplicateNames, KeepsFirstOccurrencesInOrderComparingCase)
{
    EXPECT_EQ(TJobListFunc::RemoveDuplicateNames({"b", "a", "B", "b", "a"}),
              (std::vector<std::string>{"b", "a", "B"}));
    EXPECT_TRUE(TJobListFunc::RemoveDuplicateNames({}).empty());
}

} // namespace
