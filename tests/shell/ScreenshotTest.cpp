// Writes pictures of the splash, the main window (with its shape), the Options dialog and the
// About box into TQ_SCREENSHOT_DIR, so anyone can look at them. bench/screenshots.sh runs it
// under Xvfb.

#include "ShellFixture.h"
#include "formats/FrmOption.h"
#include "shell/FlashForm.h"
#include "shell/MainForm.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QString ScreenshotFolder()
{
    const QString folder = qEnvironmentVariable("TQ_SCREENSHOT_DIR");
    QDir().mkpath(folder);
    return folder;
}

// The window as the desktop shows it: pixels outside its mask are transparent.
QImage ShapedGrab(QWidget &window)
{
    const QImage grabbed = window.grab().toImage();
    QImage shaped(grabbed.size(), QImage::Format_ARGB32_Premultiplied);
    shaped.fill(Qt::transparent);
    QPainter painter(&shaped);
    if (!window.mask().isEmpty())
        painter.setClipRegion(window.mask());
    painter.drawImage(0, 0, grabbed);
    return shaped;
}

TEST(ScreenshotTest, SplashMainWindowAndOptionsDialog)
{
    const QString folder = ScreenshotFolder();
    tqtest::ShellFixture fixture;
    QImage splash;
    QTimer::singleShot(1200, [&] {
        if (auto *flash = qobject_cast<TFrmFlashForm *>(QApplication::activeModalWidget()))
            splash = flash->grab().toImage();
    });
    auto app = fixture.Start();
    ASSERT_TRUE(app->Started());
    ASSERT_FALSE(splash.isNull());
    EXPECT_TRUE(splash.save(folder + "/splash.png"));

    TFrmMainForm &main = *app->MainForm();
    QApplication::processEvents();
    const QImage window = ShapedGrab(main);
    EXPECT_TRUE(window.save(folder + "/main-window.png"));
    // The shaped corners are transparent, the middle is not.
    EXPECT_EQ(qAlpha(window.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(window.pixel(350, 250)), 255);

    TfrmOption &options = *app->OptionsDialog();
    options.Open();
    QApplication::processEvents();
    EXPECT_TRUE(options.grab().save(folder + "/options-dialog.png"));
    options.hide();

    QImage about;
    QTimer::singleShot(300, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            about = box->grab().toImage();
            box->close();
        }
    });
    main.btnAboutClick();
    ASSERT_FALSE(about.isNull());
    EXPECT_TRUE(about.save(folder + "/about-box.png"));
}

} // namespace
