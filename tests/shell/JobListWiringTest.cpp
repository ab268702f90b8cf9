#include "ScriptedSourceFileDialog.h"
#include "ShellFixture.h"
#include "TestMedia.h"
#include "preview/QtMediaEngine.h"
#include "shell/MainForm.h"
#include "shell/ServiceObjects.h"
#include "toolkit/JobGrid.h"
#include "toolkit/PictureButton.h"

#include <QLabel>
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

} // namespace
