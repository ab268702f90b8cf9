#include "MemoryJobRows.h"
#include "RecordingMediaEngine.h"
#include "SupportFakes.h"
#include "TestFolder.h"
#include "TestMedia.h"
#include "joblist/JobListFunc.h"
#include "preview/AvProbeEngine.h"
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

TEST(GetMediaDuration, RoundsUpOnlyWhatLiesBeyondATenthOfASecond)
{
    const std::pair<int64_t, int64_t> cases[] = {
        {0, 0},          {-40, 0},
        {1, 1},          {999, 1},
        {1000, 1},       {1100, 1},
        {1101, 2},       {1980, 2},
        {3000, 3},       {10040, 10},
        {10300, 11},     {3600100, 3600},
        {3600101, 3601}, {INT64_MAX, INT64_MAX / 1000 + 1}};
    for (const auto &[milliseconds, seconds] : cases) {
        SCOPED_TRACE(milliseconds);
        tqtest::RecordingMediaEngine probe;
        probe.durationMs = milliseconds;
        EXPECT_EQ(TJobListFunc::GetMediaDuration("any.wav", probe), seconds);
    }
    // Under a second, only sound gets a row.
    EXPECT_EQ(TJobListFunc::RowSeconds(500, false), 0);
    EXPECT_EQ(TJobListFunc::RowSeconds(1500, false), 2);
}

// Files made from exactly 1, 10, 10.3 and 200 s of sound, in the types the program writes and
// the usual ways of writing them, show what a player plays: the encoders' priming and padding
// are not counted, and only what lies beyond a tenth of a second rounds up. A video without
// sound under one second gets no row.
TEST(GetMediaDuration, ShowsTheSoundThatEncodersWroteNotTheirPriming)
{
    struct Kind
    {
        const char *name;
        const char *extension;
        const char *options;
    };
    const Kind kinds[] = {
        {"WAV", "wav", "-c:a pcm_s16le"},
        {"MP3 with a LAME tag", "mp3", "-c:a libmp3lame"},
        {"MP3 without a tag", "mp3", "-c:a libmp3lame -write_xing 0"},
        {"VBR MP3", "mp3", "-c:a libmp3lame -q:a 2"},
        {"ADTS AAC", "aac", "-c:a aac -f adts"},
        {"AAC in MP4", "m4a", "-c:a aac"},
        {"AC-3", "ac3", "-c:a ac3"},
        {"Vorbis in Ogg", "ogg", "-c:a libvorbis"},
        {"Opus in Ogg", "ogg", "-c:a libopus"},
    };
    const std::pair<const char *, int64_t> lengths[] = {
        {"1", 1}, {"10", 10}, {"10.3", 11}, {"200", 200}};
    tqtest::TestFolder folder;
    int file = 0;
    for (const Kind &kind : kinds) {
        for (const auto &[seconds, row] : lengths) {
            SCOPED_TRACE(std::string(kind.name) + ", " + seconds + " s");
            const std::string path = folder.File(std::to_string(++file) + "." + kind.extension);
            std::vector<std::string> command = {
                "-f", "lavfi", "-i", std::string("sine=sample_rate=44100:duration=") + seconds};
            for (const std::string &word : tqtest::OptionWords(kind.options))
                command.push_back(word);
            command.push_back(path);
            std::string error;
            ASSERT_TRUE(tqtest::RunFfmpeg(command, &error)) << error;
            TAvProbeEngine probe;
            EXPECT_EQ(TJobListFunc::GetMediaDuration(path, probe), row);
        }
    }
    const std::string silentFilm = folder.File("film.mp4");
    std::string error;
    ASSERT_TRUE(tqtest::RunFfmpeg(
        {"-f", "lavfi", "-i", "testsrc=size=64x48:duration=0.5", "-c:v", "mpeg4", silentFilm},
        &error))
        << error;
    TAvProbeEngine probe;
    EXPECT_EQ(TJobListFunc::GetMediaDuration(silentFilm, probe), 0);
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
