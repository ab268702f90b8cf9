// Saves a picture of the whole X screen as a PNG file: the acceptance run's screenshots.
// Usage: tq_screen_grab <file.png>; the display comes from $DISPLAY.

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: tq_screen_grab <file.png>\n";
        return 2;
    }
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) {
        QTextStream(stderr) << "tq_screen_grab: no screen\n";
        return 1;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    if (!screen->grabWindow(0).save(file, "PNG")) {
        QTextStream(stderr) << "tq_screen_grab: cannot write " << file << "\n";
        return 1;
    }
    return 0;
}
