#include "RecordingDesktopOpener.h"
#include "TestFolder.h"
#include "platform/DynamicLibrary.h"
#include "shell/FlashForm.h"
#include "shell/JpegPicture.h"
#include "shell/ResourceLibrary.h"
#include "shell/SoftInfo.h"
#include "shell/SystemActions.h"
#include "siblings/ResApi.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <thread>

namespace {

std::string BuiltSibling(const char *name)
{
    return qEnvironmentVariable("TQ_PROGRAM_DIR").toStdString() + "/" + name;
}

TEST(SystemActionsTest, EmptyAddressesAreHandedOverAsTheyAre)
{
    RecSoftInfo info;
    info.AppPath = "/opt/tq/";
    tqtest::RecordingDesktopOpener opener;
    const TSystemActions actions(info, opener, qApp);
    actions.SendEMail();
    actions.OpenHomePage();
    actions.OpenHelp();
    EXPECT_EQ(opener.opened, (std::vector<std::string>{"mailto:", "", "/opt/tq/Help.html"}));
}

TEST(SystemActionsTest, AboutWithoutFormLibraryIsSilent)
{
    tqtest::TestFolder folder;
    RecSoftInfo info;
    info.AppPath = folder.Path();
    tqtest::RecordingDesktopOpener opener;
    TSystemActions(info, opener, qApp).ShowAbout();
    EXPECT_TRUE(opener.opened.empty());
}

TEST(SoftInfoTest, ReadsTheEntriesOfTheResourceLibrary)
{
    const RecSoftInfo info = LoadSoftInfo(BuiltSibling("Res.so"), "/prog/");
    EXPECT_EQ(info.ProductName, "Tonequill");
    EXPECT_FALSE(info.CompanyName.empty());
    EXPECT_FALSE(info.AboutText1.empty());
    EXPECT_FALSE(info.Version.empty());
    EXPECT_EQ(info.HomePage.rfind("https://", 0), 0u);
    EXPECT_NE(info.EMail.find('@'), std::string::npos);
    EXPECT_FALSE(info.AboutText2.empty());
    EXPECT_EQ(info.AppPath, "/prog/");
    EXPECT_EQ(TitleText(info), "Tonequill " + info.Version);
}

TEST(SoftInfoTest, MissingLibraryGivesEmptyTextsAndATitleEndingWithASpace)
{
    const RecSoftInfo info = LoadSoftInfo("/nonexistent/Res.so", "/prog/");
    EXPECT_TRUE(info.ProductName.empty());
    EXPECT_TRUE(info.EMail.empty());
    EXPECT_EQ(info.AppPath, "/prog/");
    RecSoftInfo named;
    named.ProductName = "Tonequill";
    EXPECT_EQ(TitleText(named), "Tonequill ");
}

TEST(ResourceLibraryTest, StringEntriesAreCutToTheBufferAndUnknownEntriesAreEmpty)
{
    const platform::DynamicLibrary library(BuiltSibling("Res.so"));
    ASSERT_TRUE(library.IsLoaded()) << library.LastError();
    const auto load = library.FindFunction<TqResLoadStringFunc>(TQ_RES_LOAD_STRING);
    ASSERT_NE(load, nullptr);
    char buffer[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(load(1, buffer, sizeof buffer), 4);
    EXPECT_STREQ(buffer, "Tone");
    EXPECT_EQ(load(6, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(load(1, nullptr, 10), 0);
    EXPECT_EQ(TResourceLibrary(BuiltSibling("Res.so")).LoadString(6), "");
}

TEST(ResourceLibraryTest, SplashPictureIsAJpegThatDecodes)
{
    const TResourceLibrary library(BuiltSibling("Res.so"));
    EXPECT_FALSE(library.FindResource("ImgFlash", "png"));
    EXPECT_FALSE(library.FindResource("Other", "jpeg"));
    const auto jpeg = library.FindResource("ImgFlash", "jpeg");
    ASSERT_TRUE(jpeg);
    const QImage picture = DecodeJpeg(jpeg->data(), jpeg->size());
    ASSERT_FALSE(picture.isNull());
    EXPECT_GT(picture.width(), 200);
    EXPECT_GT(picture.height(), 100);
}

TEST(JpegPictureTest, DamagedPicturesGiveANullImage)
{
    const TResourceLibrary library(BuiltSibling("Res.so"));
    const auto jpeg = library.FindResource("ImgFlash", "jpeg");
    ASSERT_TRUE(jpeg);
    EXPECT_TRUE(DecodeJpeg(jpeg->data(), 100).isNull() ||
                DecodeJpeg(jpeg->data(), 100).width() > 0); // truncated: no crash, no exit
    const unsigned char garbage[] = {0xff, 0xd8, 0x00, 0x11, 0x22, 0x33};
    EXPECT_TRUE(DecodeJpeg(garbage, sizeof garbage).isNull());
    EXPECT_TRUE(DecodeJpeg(nullptr, 0).isNull());
}

QImage SplashPicture()
{
    QImage picture(120, 80, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    return picture;
}

TEST(FlashFormTest, StaysUpForTwoTicksWhenLoadingIsInstant)
{
    int loads = 0;
    TFrmFlashForm splash(SplashPicture(), [&] { ++loads; });
    EXPECT_EQ(splash.size(), QSize(120, 80));
    QElapsedTimer clock;
    clock.start();
    splash.exec();
    EXPECT_EQ(loads, 1);
    // It closed by itself on the second tick. The time is only bounded below: a loaded machine
    // makes the ticks late, never early.
    EXPECT_EQ(splash.TickCount(), 2);
    EXPECT_GE(clock.elapsed(), 1950);
}

TEST(FlashFormTest, SlowLoadingKeepsItUpLongerAndClosesRightAfter)
{
    const TFrmFlashForm *shown = nullptr;
    int ticksWhenLoaded = -1;
    TFrmFlashForm splash(SplashPicture(), [&] {
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < 2600)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        ticksWhenLoaded = shown->TickCount();
    });
    shown = &splash;
    QElapsedTimer clock;
    clock.start();
    splash.exec();
    EXPECT_GE(clock.elapsed(), 2800);
    EXPECT_GE(ticksWhenLoaded, 2);
    // Closed right after the loading: no tick was waited for once it had ended.
    EXPECT_EQ(splash.TickCount(), ticksWhenLoaded);
}

TEST(FlashFormTest, WithoutAPictureTheLoadingRunsAtOnce)
{
    int loads = 0;
    bool splashUp = false;
    ShowSplash(nullptr, "/nonexistent/Res.so", [&] {
        ++loads;
        for (const QWidget *window : QApplication::topLevelWidgets())
            splashUp = splashUp || window->objectName() == "FrmFlashForm";
    });
    EXPECT_EQ(loads, 1);
    EXPECT_FALSE(splashUp);
}

} // namespace
