#include "MemoryJobRows.h"
#include "RecordingMediaEngine.h"
#include "SupportFakes.h"
#include "TestFolder.h"
#include "TestMedia.h"
#include "joblist/JobListFunc.h"
#include "support/TextFunc.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

// The job list operations on rows in memory; the window wiring over the real grid is tested in
// JobListEventsTest.cpp.

namespace {

class JobListTest : public ::testing::Test
{
protected:
    std::string Tone(const std::string &name, double seconds)
    {
        tqtest::ToneSpec spec;
        spec.seconds = seconds;
        return tqtest::MakeToneIn(folder, name, spec);
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
            cells.push_back(rows.CellText(row, column));
        return cells;
    }

    tqtest::TestFolder folder;
    tqtest::RecordingPresenter presenter;
    TMessageBoxes boxes{presenter};
    TJobListFunc func{boxes};
    tqtest::MemoryJobRows rows;
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

    func.AddFilesToList(rows, names);

    EXPECT_EQ(Warnings(), 2);
    ASSERT_EQ(rows.RowCount(), int(std::size(cases)));
    for (int row = 0; row < rows.RowCount(); ++row) {
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

    func.AddFilesToList(rows, {playlist, concat});

    EXPECT_EQ(Warnings(), 2);
    EXPECT_EQ(rows.RowCount(), 0);
}

TEST_F(JobListTest, UnacceptedNamesAndFoldersAreSkippedSilently)
{
    tqtest::WriteWholeFile(folder.File("notes.txt"), "text");
    QDir().mkpath(QString::fromStdString(folder.File("Album")));
    QDir().mkpath(QString::fromStdString(folder.File("Live.mp3")));
    const std::string mp4 = Tone("clip.mp4", 1.5);

    func.AddFilesToList(rows, {folder.File("notes.txt"), folder.File("Album"),
                               folder.File("Live.mp3"), folder.File("noextension"), mp4});

    EXPECT_EQ(Warnings(), 0);
    ASSERT_EQ(rows.RowCount(), 1);
    EXPECT_EQ(rows.CellText(0, JobColumn::FileName), mp4);
}

TEST_F(JobListTest, NamesDifferingInCaseAreBothAddedAndExactRepeatsOnce)
{
    const std::string upper = Tone("song.MP3", 1.2);
    const std::string lower = Tone("song.mp3", 1.2);

    func.AddFilesToList(rows, {upper, upper});
    func.AddFilesToList(rows, {lower});
    func.AddFilesToList(rows, {lower});

    EXPECT_EQ(Warnings(), 0);
    ASSERT_EQ(rows.RowCount(), 2);
    EXPECT_EQ(rows.CellText(0, JobColumn::FileName), upper);
    EXPECT_EQ(rows.CellText(1, JobColumn::FileName), lower);
}

TEST(GetMediaDuration, AnyRemainderOfMillisecondsCountsAsOneMoreSecond)
{
    const std::pair<int64_t, int64_t> cases[] = {
        {0, 0},    {-40, 0},  {1, 1},    {999, 1},        {1000, 1},
        {1001, 2}, {1980, 2}, {3000, 3}, {3600001, 3601}, {INT64_MAX, INT64_MAX / 1000 + 1}};
    for (const auto &[milliseconds, seconds] : cases) {
        SCOPED_TRACE(milliseconds);
        tqtest::RecordingMediaEngine probe;
        probe.durationMs = milliseconds;
        EXPECT_EQ(TJobListFunc::GetMediaDuration("any.wav", probe), seconds);
    }
}

TEST_F(JobListTest, FileWhoseSizeCannotBeReadGetsTheWarningAndNoRow)
{
    TJobListFunc fixed(boxes, [] {
        auto probe = std::make_unique<tqtest::RecordingMediaEngine>();
        probe->durationMs = 5000;
        return probe;
    });
    const std::string present = folder.File("present.mp3");
    tqtest::WriteWholeFile(present, std::string(1536, 'x'));

    fixed.AddFilesToList(rows, {folder.File("vanished.mp3"), present});

    EXPECT_EQ(Warnings(), 1);
    ASSERT_EQ(rows.RowCount(), 1);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"True", present, TTextFunc::FormatFileSize(1536),
                                                "00:00:05", "00:00:00", "00:00:05", "00:00:05"}));
}

// Five rows named 1 to 5, with the given rows (1-based) selected and one focused.
class RemovalTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int i = 1; i <= 5; ++i)
            rows.Add(std::to_string(i));
    }
    void Select(std::initializer_list<int> selected, int focused)
    {
        rows.ClearRowSelection();
        rows.SetFocusedRow(focused - 1);
        for (int row : selected)
            rows.SetRowSelected(row - 1, true);
    }

    tqtest::MemoryJobRows rows;
};

TEST_F(RemovalTest, SurvivingRowAboveTheFocusedOneBecomesFocusedAndSelected)
{
    Select({2, 4, 5}, 4);
    TJobListFunc::RemoveSelectedFiles(rows);

    EXPECT_EQ(rows.Names(), (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(rows.FocusedRow(), 1);
    EXPECT_EQ(rows.SelectedRows(), std::vector<int>{1});
    EXPECT_EQ(rows.updateDepth, 0);
}

TEST_F(RemovalTest, RemovedAnchorLeavesNoSelection)
{
    Select({3, 4, 5}, 4);
    TJobListFunc::RemoveSelectedFiles(rows);

    EXPECT_EQ(rows.Names(), (std::vector<std::string>{"1", "2"}));
    EXPECT_TRUE(rows.SelectedRows().empty());
    EXPECT_EQ(rows.updateDepth, 0);
}

TEST(RemoveDuplicateNames, KeepsFirstOccurrencesInOrderComparingCase)
{
    EXPECT_EQ(TJobListFunc::RemoveDuplicateNames({"b", "a", "B", "b", "a"}),
              (std::vector<std::string>{"b", "a", "B"}));
    EXPECT_TRUE(TJobListFunc::RemoveDuplicateNames({}).empty());
}

} // namespace
