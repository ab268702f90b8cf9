#include "ShellFixture.h"
#include "conversion/FrmConverting.h"
#include "formats/FrmOption.h"
#include "shell/MainForm.h"
#include "shell/ServiceObjects.h"
#include "toolkit/PictureButton.h"
#include "toolkit/TitleLabel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using tqtest::ShellFixture;

// Counts the splash windows shown while it exists.
class SplashWatch : public QObject
{
public:
    SplashWatch() { qApp->installEventFilter(this); }
    ~SplashWatch() override { qApp->removeEventFilter(this); }
    int shown = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == "FrmFlashForm")
            ++shown;
        return false;
    }
};

int VisibleTopLevelWindows()
{
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            ++count;
    return count;
}

TEST(StartupTest, BothSiblingsMissingGiveTwoMessagesFormFirstAndNoWindow)
{
    ShellFixture fixture(ShellFixture::WithoutSiblings);
    TTonequillApp app(fixture.Platform());
    app.Show();

    EXPECT_FALSE(app.Started());
    EXPECT_EQ(app.MainForm(), nullptr);
    EXPECT_EQ(VisibleTopLevelWindows(), 0);
    ASSERT_EQ(fixture.presenter.requests.size(), 2u);
    EXPECT_EQ(fixture.presenter.requests[0].text,
              "'Form.so' is not found. Please reinstall this program.");
    EXPECT_EQ(fixture.presenter.requests[1].text,
              "'Res.so' is not found. Please reinstall this program.");
    for (const TMessageBoxRequest &request : fixture.presenter.requests) {
        EXPECT_EQ(request.caption, "Tonequill");
        EXPECT_EQ(request.icon, TMessageIcon::Information);
        EXPECT_EQ(request.buttons, TMessageButtons::Ok);
    }
}

TEST(StartupTest, OneSiblingMissingIsReportedAlone)
{
    ShellFixture fixture(ShellFixture::WithoutSiblings);
    fixture.CopySibling("Form.so");
    TTonequillApp app(fixture.Platform());
    EXPECT_FALSE(app.Started());
    EXPECT_EQ(fixture.presenter.Texts(),
              std::vector<std::string>{"'Res.so' is not found. Please reinstall this program."});
}

TEST(StartupTest, ServiceObjectsAreCreatedOnceInOrderBeforeTheSiblingCheck)
{
    ShellFixture fixture(ShellFixture::WithoutSiblings);
    TTonequillApp app(fixture.Platform());
    const std::vector<std::string> expected{"TCustomProc", "TCommonLib", "TAppFunc",
                                            "TSysFunc",    "TStrFunc",   "TFileFunc"};
    EXPECT_EQ(fixture.created, expected);
    EXPECT_EQ(app.Services().CommonLib().ProgramFolder(), fixture.folder.Path());
}

// One full start-up shared by the checks of the started program: it takes two seconds of
// splash, so it runs once.
class StartedProgramTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_fixture = new ShellFixture();
        SplashWatch splash;
        QElapsedTimer clock;
        clock.start();
        s_app = s_fixture->Start().release();
        s_startMs = clock.elapsed();
        s_splashes = splash.shown;
    }
    static void TearDownTestSuite()
    {
        delete s_app;
        delete s_fixture;
        s_app = nullptr;
        s_fixture = nullptr;
    }

    TFrmMainForm &Main() { return *s_app->MainForm(); }
    TfrmOption &Options() { return *s_app->OptionsDialog(); }

    static ShellFixture *s_fixture;
    static TTonequillApp *s_app;
    static qint64 s_startMs;
    static int s_splashes;
};

ShellFixture *StartedProgramTest::s_fixture = nullptr;
TTonequillApp *StartedProgramTest::s_app = nullptr;
qint64 StartedProgramTest::s_startMs = 0;
int StartedProgramTest::s_splashes = 0;

TEST_F(StartedProgramTest, SplashKeepsTheStartForTwoTimerTicks)
{
    ASSERT_TRUE(s_app->Started());
    // The splash closed by itself, after its two ticks. Only a lower bound on the time: a
    // loaded machine makes the start slower, never faster.
    EXPECT_GE(s_startMs, 1900);
    EXPECT_EQ(s_splashes, 1);
    EXPECT_TRUE(Main().isVisible());
    EXPECT_TRUE(Main().FirstShowDone());
    EXPECT_TRUE(s_fixture->presenter.requests.empty());
}

TEST_F(StartedProgramTest, ProgressWindowAndOptionsDialogExistHidden)
{
    ASSERT_NE(s_app->ProgressWindow(), nullptr);
    ASSERT_NE(s_app->OptionsDialog(), nullptr);
    EXPECT_FALSE(s_app->ProgressWindow()->isVisible());
    EXPECT_FALSE(Options().isVisible());
}

TEST_F(StartedProgramTest, TitleShowsProductNameAndVersion)
{
    EXPECT_EQ(Main().lblTitle->text().toStdString(),
              s_app->SoftInfo().ProductName + " " + s_app->SoftInfo().Version);
    EXPECT_EQ(s_app->SoftInfo().ProductName, "Tonequill");
    EXPECT_FALSE(s_app->SoftInfo().Version.empty());
    EXPECT_EQ(s_app->SoftInfo().AppPath, s_fixture->folder.Path());
    EXPECT_EQ(Main().windowTitle(), "Tonequill");
}

TEST_F(StartedProgramTest, InitialSelectionsAreAmrAtNormalQuality)
{
    EXPECT_TRUE(Main().cbbOutputFiletype->currentText().startsWith("AMR"));
    EXPECT_EQ(Main().cbbProfile->currentText(), "Normal Quality");
    EXPECT_EQ(Options().cbbAudioBitrate->currentText(), "128");
    EXPECT_EQ(Options().cbbAudioChannels->currentText(), "1 channel, Mono");
    EXPECT_EQ(Options().cbbAudioSample->currentText(), "22050");
    EXPECT_FALSE(Main().cbbProfile->isEnabled());
    EXPECT_FALSE(Main().btnOptions->isEnabled());
}

TEST_F(StartedProgramTest, InitialStatesOfTheOutputControls)
{
    EXPECT_TRUE(Main().edtOutputFolder->isReadOnly());
    EXPECT_TRUE(Main().edtOutputFolder->text().endsWith("/tonequill"));
    EXPECT_FALSE(Main().chkShutdown->isChecked());
    EXPECT_TRUE(Main().chkShowOutputDirectory->isChecked());
    EXPECT_EQ(Main().findChild<QWidget *>("dxTreeSourceFileInfo")->geometry(),
              QRect(12, 336, 557, 158 + (Main().height() - TFrmMainForm::kDesignHeight)));
    EXPECT_GE(Main().width(), TFrmMainForm::kMinimumWidth);
    EXPECT_GE(Main().height(), TFrmMainForm::kMinimumHeight);
}

TEST_F(StartedProgramTest, OptionsButtonTwiceOpensOneModelessDialog)
{
    Main().btnOptions->setEnabled(true);
    QTest::mouseClick(Main().btnOptions, Qt::LeftButton);
    QTest::mouseClick(Main().btnOptions, Qt::LeftButton);
    EXPECT_TRUE(Options().isVisible());
    EXPECT_FALSE(Options().isModal());
    EXPECT_EQ(Main().findChildren<TfrmOption *>().size(), 1);
    int visibleDialogs = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (qobject_cast<TfrmOption *>(widget) && widget->isVisible())
            ++visibleDialogs;
    EXPECT_EQ(visibleDialogs, 1);
    EXPECT_TRUE(Main().isEnabled());
    Options().hide();
}

TEST_F(StartedProgramTest, WindowIsShapedByTheBackgroundPicture)
{
    const QRegion mask = Main().mask();
    ASSERT_FALSE(mask.isEmpty());
    EXPECT_TRUE(mask.contains(QPoint(350, 250)));
    EXPECT_TRUE(mask.contains(QPoint(699, 250)));
    // The rounded corners and everything right of or below the 700 x 506 picture are outside.
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_FALSE(mask.contains(QPoint(0, 505)));
    EXPECT_FALSE(mask.contains(QPoint(705, 250)));
    EXPECT_FALSE(mask.contains(QPoint(350, 508)));
    EXPECT_TRUE(Main().windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST_F(StartedProgramTest, SystemActionsHandTheirAddressesToTheDesktop)
{
    auto &opened = s_fixture->opener.opened;
    opened.clear();
    QTest::mouseClick(Main().btnHelp, Qt::LeftButton);
    QTest::mouseClick(Main().btnHomePage, Qt::LeftButton);
    QTest::mouseClick(Main().btnEMail, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[0], s_fixture->folder.File("Help.html"));
    EXPECT_EQ(opened[1], s_app->SoftInfo().HomePage);
    EXPECT_EQ(opened[1].rfind("https://", 0), 0u);
    EXPECT_EQ(opened[2], "mailto:" + s_app->SoftInfo().EMail);
}

TEST_F(StartedProgramTest, AboutBoxShowsTheProductTexts)
{
    QString shownText;
    bool shown = false;
    QTimer::singleShot(200, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            shown = true;
            for (QLabel *label : box->findChildren<QLabel *>())
                shownText += label->text() + "\n";
            box->close();
        }
    });
    QTest::mouseClick(Main().btnAbout, Qt::LeftButton);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(shownText.contains("Tonequill"));
    EXPECT_TRUE(shownText.contains(QString::fromStdString(s_app->SoftInfo().Version)));
    EXPECT_TRUE(shownText.contains(QString::fromStdString(s_app->SoftInfo().EMail)));
    EXPECT_TRUE(shownText.contains(QString::fromStdString(s_app->SoftInfo().AboutText2)));
}

TEST_F(StartedProgramTest, AboutDoesNothingWhenFormLibraryIsRemoved)
{
    QFile::remove(QString::fromStdString(s_fixture->folder.File("Form.so")));
    bool shown = false;
    bool looked = false;
    QTimer::singleShot(200, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            shown = true;
            box->close();
        }
        looked = true;
    });
    QTest::mouseClick(Main().btnAbout, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return looked; }, 30000));
    EXPECT_FALSE(shown);
    s_fixture->CopySibling("Form.so");
}

TEST_F(StartedProgramTest, MemoryTrimTimerRunsEverySecond)
{
    EXPECT_TRUE(Main().tmrClearMemory->isActive());
    EXPECT_EQ(Main().tmrClearMemory->interval(), 1000);
    Main().tmrClearMemoryTimer(); // must not disturb the window
    EXPECT_TRUE(Main().isVisible());
}

TEST_F(StartedProgramTest, MinimizeAndRestoreDoNotRepeatTheFirstShowSteps)
{
    s_fixture->presenter.requests.clear();
    QTest::mouseClick(Main().btnWindowMinimize, Qt::LeftButton);
    EXPECT_TRUE(Main().windowState().testFlag(Qt::WindowMinimized));
    SplashWatch splash;
    Main().showNormal();
    QApplication::processEvents();
    EXPECT_FALSE(Main().windowState().testFlag(Qt::WindowMinimized));
    EXPECT_EQ(splash.shown, 0);
    EXPECT_EQ(Main().cbbProfile->currentText(), "Normal Quality");
}

TEST_F(StartedProgramTest, MinimumSizeIsKeptOnResize)
{
    Main().resize(600, 400);
    QApplication::processEvents();
    EXPECT_GE(Main().width(), TFrmMainForm::kMinimumWidth);
    EXPECT_GE(Main().height(), TFrmMainForm::kMinimumHeight);
}

// Runs last: it closes the program's window.
TEST_F(StartedProgramTest, CloseButtonClosesTheWindowAndTheOptionsDialog)
{
    Options().Open();
    QTest::mouseClick(Main().btnWindowClose, Qt::LeftButton);
    EXPECT_FALSE(Main().isVisible());
    EXPECT_FALSE(Options().isVisible());
    EXPECT_TRUE(s_fixture->presenter.requests.empty()); // closes without asking
}

} // namespace
