// The acceptance run's eyes on the X screen (the display comes from $DISPLAY):
//   tq_screen_grab <file.png>
//       saves a picture of the whole screen as a PNG file;
//   tq_screen_grab --find <picture.png> <x> <y> <width> <height>
//       tells whether the picture is shown somewhere inside that rectangle of the screen: prints
//       the share of the picture's opaque pixels that match at its best placement and exits 0
//       when that share is at least 90 %, 1 otherwise.

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kChannelTolerance = 24;
constexpr double kRequiredShare = 0.9;

bool Near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= kChannelTolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= kChannelTolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= kChannelTolerance;
}

// The share of the picture's opaque pixels that the screen shows unchanged with the picture's
// top-left corner at `origin`. Pixels the picture blends with its background are left out.
double ShareAt(const QImage &screen, const QImage &picture, QPoint origin)
{
    long long opaque = 0;
    long long matching = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb wanted = picture.pixel(x, y);
            if (qAlpha(wanted) != 255)
                continue;
            ++opaque;
            if (Near(wanted, screen.pixel(origin.x() + x, origin.y() + y)))
                ++matching;
        }
    }
    return opaque == 0 ? 0.0 : double(matching) / double(opaque);
}

double BestShare(const QImage &screen, const QImage &picture, const QRect &area)
{
    const QRect inside = area.intersected(screen.rect());
    double best = 0.0;
    for (int y = inside.top(); y + picture.height() <= inside.bottom() + 1; ++y)
        for (int x = inside.left(); x + picture.width() <= inside.right() + 1; ++x)
            best = std::max(best, ShareAt(screen, picture, QPoint(x, y)));
    return best;
}

int Find(QScreen &screen, char **argv)
{
    const QImage picture =
        QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_ARGB32);
    if (picture.isNull()) {
        QTextStream(stderr) << "tq_screen_grab: cannot read " << argv[2] << "\n";
        return 2;
    }
    const QRect area(std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                     std::atoi(argv[6]));
    const QImage shown = screen.grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    const double share = BestShare(shown, picture, area);
    QTextStream(stdout) << "picture match " << int(share * 100) << " %\n";
    return share >= kRequiredShare ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication application(argc, argv);
    const bool find = argc == 7 && QByteArray(argv[1]) == "--find";
    if (argc != 2 && !find) {
        QTextStream(stderr) << "usage: tq_screen_grab <file.png>\n"
                               "       tq_screen_grab --find <picture.png> <x> <y> <w> <h>\n";
        return 2;
    }
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) {
        QTextStream(stderr) << "tq_screen_grab: no screen\n";
        return 1;
    }
    if (find)
        return Find(*screen, argv);
    const QString file = QString::fromLocal8Bit(argv[1]);
    if (!screen->grabWindow(0).save(file, "PNG")) {
        QTextStream(stderr) << "tq_screen_grab: cannot write " << file << "\n";
        return 1;
    }
    return 0;
}
