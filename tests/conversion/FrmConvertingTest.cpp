#include "conversion/FrmConverting.h"

#include "ConversionFakes.h"
#include "TestFolder.h"
#include "TestText.h"
#include "conversion/ConversionLib.h"
#include "conversion/ConversionProc.h"
#include "support/AppFunc.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class ConvertingWindow : public ::testing::Test
{
protected:
    ConvertingWindow()
        : appFunc(logFolder.Path()), messages(presenter), window(proc, lib, messages, mainWindow)
    {
        lib.ConnectStopping(appFunc, {});
        lib.UseProcessTable(table);
        lib.ConvertParameter.SourceFile = "/music/clip.avi";
        lib.ConvertParameter.EncoderPath = "/opt/tonequill/evc";
        proc.RowCount = 3;
        proc.RowIndex = 1;
        proc.LengthText = "90";
        mainWindow.enabled = false;
    }
    std::string Log() const { return tqtest::ReadWholeFile(appFunc.LogPath()); }

    tqtest::TestFolder logFolder;
    TAppFunc appFunc;
    tqtest::RecordingPresenter presenter;
    TMessageBoxes messages;
    tqtest::FakeMainWindow mainWindow;
    tqtest::ChildrenOnlyTable table;
    TConversionLib lib;
    TConversionProc proc;
    TfrmConverting window;
};

} // namespace

TEST_F(ConvertingWindow, HasItsControlsAndDesignTexts)
{
    EXPECT_EQ(window.windowTitle(), "Converting");
    EXPECT_EQ(window.size(), QSize(435, 222));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.lblInfo->text(), "Please wait . . .");
    EXPECT_TRUE(window.lblInfo->font().bold());
    EXPECT_EQ(window.lblCurConvertFileL->text(), "Current Convert File:");
    EXPECT_EQ(window.lblTotalFilr->text(), "Total File:");
    EXPECT_EQ(window.lblCurprog->text(), "Current File:");
    EXPECT_EQ(window.lblPersent->text(), "Current: 1, Total: ...");
    EXPECT_EQ(window.btnStop->geometry(), QRect(296, 144, 108, 38));
    // The pictures come from the embedded artwork; a missing one would leave a blank spot.
    EXPECT_EQ(window.btnStop->sizeHint(), QSize(108, 38));
    EXPECT_EQ(window.imgFrames[0]->pixmap().size(), QSize(17, 17));
    EXPECT_EQ(window.pbTotal->geometry(), QRect(88, 88, 321, 17));
    EXPECT_EQ(window.ProgressBar1->geometry(), QRect(88, 112, 321, 17));
    EXPECT_EQ(window.tmrChanging->interval(), 333);
    EXPECT_FALSE(window.tmrChanging->isActive());
    for (const char *name :
         {"lblInfo", "lblCurFileName", "pbTotal", "ProgressBar1", "img1", "img6", "lblPersent",
          "btnStop", "statState", "tmrChanging", "actRefreshProgress"})
        EXPECT_NE(window.findChild<QObject *>(name), nullptr) << name;
}

TEST_F(ConvertingWindow, ShowingResetsAndOutputMovesTheBars)
{
    window.ShowProgress();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.tmrChanging->isActive());
    EXPECT_EQ(window.lblPersent->text(), "Current: 1, Total: 3");
    EXPECT_EQ(window.lblCurFileName->text(), "/music/clip.avi");

    window.ShowEncoderOutput("evc: banner");
    EXPECT_EQ(window.statState->currentMessage(), "evc: banner");
    EXPECT_EQ(window.lblPersent->text(), "Current: 1, Total: 3");
    window.ShowEncoderOutput("size=  1kB time=12.75 bitrate= 1.0kbits/s");
    EXPECT_EQ(window.ProgressBar1->maximum(), 90);
    EXPECT_EQ(window.ProgressBar1->value(), 12);
    window.ShowEncoderOutput("size=  2kB time=13.00 bitrate= 1.0kbits/s");
    EXPECT_EQ(window.pbTotal->maximum(), 300);
    EXPECT_EQ(window.pbTotal->value(), 113);
    EXPECT_EQ(window.lblPersent->text(), "Current: 2 , Total: 3.");

    // The running light moves on its own.
    EXPECT_TRUE(QTest::qWaitFor([this] { return window.Progress().AnimationCounter >= 1; }, 30000));
    const QString pictures = qEnvironmentVariable("TQ_SCREENSHOT_DIR");
    if (!pictures.isEmpty()) {
        QDir().mkpath(pictures);
        window.grab().save(pictures + "/progress-window.png");
    }
    window.HideProgress();
}

TEST_F(ConvertingWindow, StopAsksAndOnNoChangesNothing)
{
    window.ShowProgress();
    presenter.answers = {IdNo};
    QTest::mouseClick(window.btnStop, Qt::LeftButton);
    ASSERT_EQ(presenter.requests.size(), 1u);
    EXPECT_EQ(presenter.requests[0].text, "Are you sure you want to stop the work ? ");
    EXPECT_EQ(presenter.requests[0].caption, "Tonequill");
    EXPECT_EQ(presenter.requests[0].buttons, TMessageButtons::YesNo);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(proc.RowIndex, 1);
    EXPECT_FALSE(proc.StopRequested);
    window.HideProgress();
}

TEST_F(ConvertingWindow, StopOnYesWhileNothingRunsOnlyLogs)
{
    window.ShowProgress();
    window.ShowEncoderOutput("x");
    window.ShowEncoderOutput("a=b=40 c=d");
    QTest::mouseClick(window.btnStop, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(mainWindow.enabled);
    EXPECT_EQ(proc.RowIndex, 1024);
    EXPECT_TRUE(proc.StopRequested);
    EXPECT_EQ(window.lblPersent->text(), "Current: 1, Total: ...");
    EXPECT_EQ(window.ProgressBar1->value(), 0);
    EXPECT_EQ(window.pbTotal->maximum(), 0);
    const std::string log = Log();
    EXPECT_EQ(tqtest::CountOf(log, "\r\n"), 4);
    EXPECT_EQ(tqtest::CountOf(log, "|Get Process id error.\r\n"), 4);

    // Output that was still in the pipe when the encoder was killed changes nothing.
    const QString status = window.statState->currentMessage();
    window.ShowEncoderOutput("size=  9kB time=60.00 bitrate= 1.0kbits/s");
    window.ShowEncoderOutput("size= 10kB time=61.00 bitrate= 1.0kbits/s");
    EXPECT_EQ(window.lblPersent->text(), "Current: 1, Total: ...");
    EXPECT_EQ(window.ProgressBar1->value(), 0);
    EXPECT_EQ(window.pbTotal->maximum(), 0);
    EXPECT_EQ(window.pbTotal->value(), 0);
    EXPECT_EQ(window.statState->currentMessage(), status);
}

TEST_F(ConvertingWindow, TheCloseBoxAsksItsOwnQuestionAndClosesEitherWay)
{
    window.ShowProgress();
    presenter.answers = {IdNo};
    window.close();
    ASSERT_EQ(presenter.requests.size(), 1u);
    EXPECT_EQ(presenter.requests[0].text, "Are you sure to stop processing ?");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(proc.RowIndex, 1);
    EXPECT_FALSE(mainWindow.enabled);

    window.ShowProgress();
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(proc.RowIndex, 1024);
    EXPECT_TRUE(mainWindow.enabled);
    EXPECT_EQ(tqtest::CountOf(Log(), "|Get Process id error.\r\n"), 2);
}
