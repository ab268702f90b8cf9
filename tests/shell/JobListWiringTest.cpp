#include "ScriptedSourceFileDialog.h"
#include "ShellFixture.h"
#include "TestMedia.h"
#include "preview/QtMediaEngine.h"
#include "shell/CommandLineFiles.h"
#include "shell/MainForm.h"
#include "shell/ServiceObjects.h"
#include "toolkit/JobGrid.h"
#include "toolkit/PictureButton.h"

#include <QFile>
#include <QLabel>
#include <QMimeDatabase>
#include <QTest>
#include <QVideoWidget>
#include <gtest/gtest.h>

namespace {

TEST(JobListWiringTest, AddedFilesShowTheirDurationsAClickPlacesTheTimelineDeleteRemoves)
{
    tqtest::ShellFixture fixture;
    const std::string longer = fixture.folder.File("two seconds.wav");
    const std::string shorter = fixture.folder.File("one and a half.mp3");
    std::string error;
    tqtest::ToneSpec spec;
    spec.seconds = 2.0;
    ASSERT_TRUE(tqtest::MakeToneFile(longer, spec, &error)) << error;
    spec.seconds = 1.5;
    ASSERT_TRUE(tqtest::MakeToneFile(shorter, spec, &error)) << error;

    tqtest::ScriptedSourceFileDialog dialog;
    dialog.files = {longer, shorter};
    TShellPlatform platform = fixture.Platform();
    platform.SourceDialog = &dialog;
    TTonequillApp app(platform);
    ASSERT_TRUE(app.Started());
    app.Show();
    TFrmMainForm &form = *app.MainForm();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.FirstShowDone(); }, 5000));
    // The video window's native surface would cover the logo on a real display.
    EXPECT_TRUE(form.imgLogo->isVisible());
    EXPECT_FALSE(form.FilterGraph->VideoWindow()->isVisible());

    QTest::mouseClick(form.btnOpenFile, Qt::LeftButton);
    TJobGrid &grid = *form.dxTreeSourceFileInfo;
    EXPECT_EQ(dialog.runs, 1);
    ASSERT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.CellText(0, JobColumn::FileName), longer);
    EXPECT_EQ(grid.CellText(0, JobColumn::Duration), "00:00:02");
    EXPECT_EQ(grid.CellText(1, JobColumn::FileName), shorter);
    EXPECT_EQ(grid.CellText(1, JobColumn::Duration), "00:00:02");
    EXPECT_TRUE(fixture.presenter.requests.empty());

    const QRect firstRow = grid.visualRect(grid.model()->index(0, 0));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, firstRow.center());
    EXPECT_EQ(grid.SelectedRows(), std::vector<int>{0});
    EXPECT_EQ(app.Services().CustomProc().Timeline.TimelineDuration, 2);

    QTest::keyClick(&grid, Qt::Key_Delete);
    ASSERT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.CellText(0, JobColumn::FileName), shorter);
}

// A key's value in the desktop entry of the package.
QString EntryValue(const QString &key)
{
    QFile file(TQ_DESKTOP_ENTRY);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    for (const QString &line : QString::fromUtf8(file.readAll()).split('\n')) {
        if (line.startsWith(key + "="))
            return line.mid(key.size() + 1);
    }
    return {};
}

// The desktop entry's Exec line with its file field code expanded to `files`, as a desktop
// starts the program for Open With.
QStringList EntryCommand(const QString &exec, const QStringList &files)
{
    QStringList command;
    for (const QString &word : exec.split(' ', Qt::SkipEmptyParts)) {
        if (word == "%F")
            command += files;
        else
            command += word;
    }
    return command;
}

TEST(JobListWiringTest, FilesGivenToTheDesktopEntrysCommandLandInTheListAsDroppedOnes)
{
    const QString exec = EntryValue("Exec");
    const QStringList mimeTypes = EntryValue("MimeType").split(';', Qt::SkipEmptyParts);
    // Every source type the job list takes is offered to the desktop.
    for (const std::string &extension : tqtest::SourceExtensions()) {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(
            QString::fromStdString("x." + extension), QMimeDatabase::MatchExtension);
        EXPECT_TRUE(mimeTypes.contains(type.name()))
            << extension << " " << type.name().toStdString();
    }

    tqtest::ShellFixture fixture;
    tqtest::TestFolder media;
    tqtest::ToneSpec spec;
    spec.seconds = 2.0;
    const std::string song = tqtest::MakeToneIn(media, "a song.wav", spec);
    tqtest::WriteWholeFile(media.File("broken.mp3"), "not audio at all");
    tqtest::WriteWholeFile(media.File("notes.txt"), "text");
    // A relative name is taken from the folder the program was started in.
    const QStringList command =
        EntryCommand(exec, {"a song.wav", QString::fromStdString(media.File("broken.mp3")),
                            QString::fromStdString(media.File("notes.txt"))});
    ASSERT_EQ(command.size(), 4) << exec.toStdString();

    TShellPlatform platform = fixture.Platform();
    platform.FilesToOpen = FilesFromCommandLine(command, QString::fromStdString(media.Path()));
    TTonequillApp app(platform);
    ASSERT_TRUE(app.Started());
    app.Show();
    TJobGrid &grid = *app.MainForm()->dxTreeSourceFileInfo;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fixture.presenter.requests.empty(); }, 10000));
    ASSERT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.CellText(0, JobColumn::FileName), song);
    EXPECT_EQ(grid.CellText(0, JobColumn::Duration), "00:00:02");
    EXPECT_EQ(fixture.presenter.Texts(),
              std::vector<std::string>{"Files reading error! Please check your files."});
}

} // namespace
