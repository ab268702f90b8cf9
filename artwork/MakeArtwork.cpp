// Draws every picture of Tonequill and writes them as PNG files (and the splash also as a
// JPEG) into the folder given as the first argument; the application icon, in the sizes of the
// desktop icon theme, goes into the folder given as the second. Run on the offscreen platform by
// artwork/make-artwork.sh; the committed pictures in artwork/pictures and artwork/icons are its
// output.

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <QTextStream>
#include <cmath>
#include <functional>

namespace {

// The palette of the whole product.
const QColor kTransparentKey(255, 0, 255);
const QColor kNavyDark(22, 40, 66);
const QColor kNavy(33, 62, 100);
const QColor kNavyLight(52, 92, 140);
const QColor kBody(232, 237, 243);
const QColor kPanel(246, 248, 251);
const QColor kPanelLine(184, 196, 210);
const QColor kInk(36, 48, 64);
const QColor kInkSoft(92, 106, 124);
const QColor kAccent(230, 126, 34);
const QColor kAccentDark(196, 96, 16);
const QColor kBlue(47, 109, 181);
const QColor kBlueDark(30, 80, 140);

QString g_outputFolder;

QFont UiFont(int pixelSize, bool bold)
{
    QFont font("DejaVu Sans");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void Save(const QImage &image, const QString &name)
{
    const QString path = g_outputFolder + "/" + name + ".png";
    if (!image.save(path, "PNG"))
        QTextStream(stderr) << "cannot write " << path << "\n";
}

QImage NewImage(int width, int height, const QColor &fill = Qt::transparent)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

// The product mark: a quill whose stroke turns into a sound wave, inside a rounded square.
void DrawMark(QPainter &p, const QRectF &box)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = box.width();
    QLinearGradient tile(box.topLeft(), box.bottomRight());
    tile.setColorAt(0, QColor(250, 160, 70));
    tile.setColorAt(1, kAccentDark);
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(box, s * 0.22, s * 0.22);

    // Sound wave across the lower half.
    QPainterPath wave;
    const qreal baseY = box.top() + s * 0.68;
    wave.moveTo(box.left() + s * 0.12, baseY);
    for (int i = 0; i <= 40; ++i) {
        const qreal t = i / 40.0;
        const qreal x = box.left() + s * (0.12 + 0.76 * t);
        const qreal amplitude = s * 0.13 * std::sin(t * M_PI);
        wave.lineTo(x, baseY - amplitude * std::sin(t * 6 * M_PI));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 230), std::max(1.5, s * 0.06), Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.drawPath(wave);

    // The quill: a leaf shape leaning right with its shaft.
    QPainterPath quill;
    const QPointF tip(box.left() + s * 0.30, box.top() + s * 0.60);
    quill.moveTo(tip);
    quill.cubicTo(box.left() + s * 0.38, box.top() + s * 0.30, box.left() + s * 0.62,
                  box.top() + s * 0.14, box.left() + s * 0.86, box.top() + s * 0.10);
    quill.cubicTo(box.left() + s * 0.78, box.top() + s * 0.34, box.left() + s * 0.58,
                  box.top() + s * 0.50, tip.x(), tip.y());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(quill);
    p.setPen(QPen(kAccentDark, std::max(1.0, s * 0.03), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(tip, QPointF(box.left() + s * 0.74, box.top() + s * 0.22));
    p.restore();
}

// ---- icons, drawn into a square of side `size` centred on `c` with colour `ink` ----

using IconPainter = std::function<void(QPainter &, const QPointF &c, qreal size, QColor ink)>;

QPen IconPen(const QColor &ink, qreal width)
{
    return QPen(ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void IconPlus(QPainter &p, const QPointF &c, qreal s, QColor ink)
{
    p.setPen(IconPen(ink, s * 0.2));
    p.drawLine(QPointF(c.x() - s * 0.4, c.y()), QPointF(c.x() + s * 0.4, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - s * 0.4), QPointF(c.x(), c.y() + s * 0.4));
}

void IconMinus(QPainter &p, const QPointF &c, qreal s, QColor ink)
{
    p.setPen(IconPen(ink, s * 0.2));
    p.drawLine(QPointF(c.x() - s * 0.4, c.y()), QPointF(c.x() + s * 0.4, c.y()));
}

void IconBroom(QPainter &p, const QPointF &c, qreal s, QColor ink)
{
    // A waste bin: lid, body with ribs.
    p.setPen(IconPen(ink, s * 0.11));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(c.x() - s * 0.42, c.y() - s * 0.3),
               QPointF(c.x() + s * 0.42, c.y() - s * 0.3));
    p.drawLine(QPointF(c.x() - s * 0.12, c.y() - s * 0.42),
               QPointF(c.x() + s * 0.12, c.y() - s * 0.42));
    QPainterPath body;
    body.moveTo(c.x() - s * 0.32, c.y() - s * 0.22);
    body.lineTo(c.x() - s * 0.25, c.y() + s * 0.45);
    body.lineTo(c.x() + s * 0.25, c.y() + s * 0.45);
    body.lineTo(c.x() + s * 0.32, c.y() - s * 0.22);
    p.drawPath(body);
    p.drawLine(QPointF(c.x(), c.y() - s * 0.1), QPointF(c.x(), c.y() + s * 0.33));
    p.drawLine(QPointF(c.x() - s * 0.13, c.y() - s * 0.1),
               QPointF(c.x() - s * 0.11, c.y() + s * 0.33));
    p.drawLine(QPointF(c.x() + s * 0.13, c.y() - s * 0.1),
               QPointF(c.x() + s * 0.11, c.y() + s * 0.33));
}

void IconPlay(QPainter &p, const QPointF &c, qreal s, QColor ink)
{
    QPainterPath tri;
    tri.moveTo(c.x() - s * 0.3, c.y() - s * 0.4);
    tri.lineTo(c.x() + s * 0.42, c.y());
    tri.lineTo(c.x() - s * 0.3, c.y() + s * 0.4);
    tri.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(tri);
}

void IconPause(QPainter &p, const QPointF &c, qreal s, QColor ink)
{
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(c.x() - s * 0.34, c.y() - s * 0.4, s * 0.24, s * 0.8), 1, 1);
    p.drawRoundedRect(QRectF(c.x() + s * 0.10, c.y() - s * 0.4, s * 0.24, s * 0.8), 1, 1);
}

void IconStop(QPainter &p, const QPointF &c, qreal s, QColor ink)
{
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(c.x() - s * 0.34, c.y() - s * 0.34, s * 0.68, s * 0.68), 1.5, 1.5);
}

void IconHouse(QPainter &p, const QPointF &c, qreal s, QColor ink)
{
    QPainterPath roof;
    roof.moveTo(c.x() - s * 0.48, c.y() - s * 0.02);
    roof.lineTo(c.x(), c.y() - s * 0.46);
    roof.lineTo(c.x() + s * 0.48, c.y() - s * 0.02);
    p.setPen(IconPen(ink, s * 0.11));
    p.setBrush(Qt::NoBrush);
    p.drawPath(roof);
    QPainterPath walls;
    walls.moveTo(c.x() - s * 0.33, c.y() - s * 0.12);
    walls.lineTo(c.x() - s * 0.33, c.y() + s * 0.44);
    walls.lineTo(c.x() + s * 0.33, c.y() + s * 0.44);
    walls.lineTo(c.x() + s * 0.33, c.y() - s * 0.12);
    p.drawPath(walls);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRect(QRectF(c.x() - s * 0.09, c.y() + s * 0.14, s * 0.18, s * 0.30));
}

void IconEnvelope(QPainter &p, const QPointF &c, qreal s, QColor ink)
{
    const QRectF r(c.x() - s * 0.48, c.y() - s * 0.32, s * 0.96, s * 0.66);
    p.setPen(IconPen(ink, s * 0.1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r, 2, 2);
    QPainterPath flap;
    flap.moveTo(r.topLeft() + QPointF(s * 0.05, s * 0.05));
    flap.lineTo(c.x(), c.y() + s * 0.05);
    flap.lineTo(r.topRight() + QPointF(-s * 0.05, s * 0.05));
    p.drawPath(flap);
}

void IconGlyphInCircle(QPainter &p, const QPointF &c, qreal s, QColor ink, const QString &glyph)
{
    p.setPen(IconPen(ink, s * 0.1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, s * 0.45, s * 0.45);
    p.setFont(UiFont(int(s * 0.62), true));
    p.setPen(ink);
    p.drawText(QRectF(c.x() - s / 2, c.y() - s / 2 + s * 0.02, s, s), Qt::AlignCenter, glyph);
}

void IconQuestion(QPainter &p, const QPointF &c, qreal s, QColor ink)
{
    IconGlyphInCircle(p, c, s, ink, "?");
}

void IconInfo(QPainter &p, const QPointF &c, qreal s, QColor ink)
{
    IconGlyphInCircle(p, c, s, ink, "i");
}

void IconFolder(QPainter &p, const QPointF &c, qreal s, QColor ink)
{
    QPainterPath folder;
    folder.moveTo(c.x() - s * 0.48, c.y() + s * 0.36);
    folder.lineTo(c.x() - s * 0.48, c.y() - s * 0.34);
    folder.lineTo(c.x() - s * 0.14, c.y() - s * 0.34);
    folder.lineTo(c.x() - s * 0.04, c.y() - s * 0.22);
    folder.lineTo(c.x() + s * 0.48, c.y() - s * 0.22);
    folder.lineTo(c.x() + s * 0.48, c.y() + s * 0.36);
    folder.closeSubpath();
    p.setPen(IconPen(ink.darker(130), s * 0.07));
    p.setBrush(ink);
    p.drawPath(folder);
    p.setPen(IconPen(QColor(255, 255, 255, 160), s * 0.06));
    p.drawLine(QPointF(c.x() - s * 0.40, c.y() - s * 0.10),
               QPointF(c.x() + s * 0.40, c.y() - s * 0.10));
}

void IconGear(QPainter &p, const QPointF &c, qreal s, QColor ink)
{
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal angle = i * M_PI / teeth;
        const qreal radius = (i % 2 == 0) ? s * 0.48 : s * 0.36;
        const qreal a1 = angle - M_PI / teeth / 2, a2 = angle + M_PI / teeth / 2;
        const QPointF p1(c.x() + radius * std::cos(a1), c.y() + radius * std::sin(a1));
        const QPointF p2(c.x() + radius * std::cos(a2), c.y() + radius * std::sin(a2));
        if (i == 0)
            gear.moveTo(p1);
        else
            gear.lineTo(p1);
        gear.lineTo(p2);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, s * 0.15, s * 0.15);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(gear.subtracted(hole));
}

void IconConvert(QPainter &p, const QPointF &c, qreal s, QColor ink)
{
    // A music note followed by an arrow: "to audio".
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(c.x() - s * 0.32, c.y() + s * 0.28), s * 0.14, s * 0.11);
    p.drawRect(QRectF(c.x() - s * 0.21, c.y() - s * 0.42, s * 0.07, s * 0.70));
    QPainterPath flag;
    flag.moveTo(c.x() - s * 0.21, c.y() - s * 0.42);
    flag.cubicTo(c.x() - s * 0.05, c.y() - s * 0.36, c.x() - s * 0.02, c.y() - s * 0.22,
                 c.x() - s * 0.06, c.y() - s * 0.08);
    flag.lineTo(c.x() - s * 0.14, c.y() - s * 0.22);
    flag.closeSubpath();
    p.drawPath(flag);
    QPainterPath arrow;
    arrow.moveTo(c.x() + s * 0.06, c.y() - s * 0.04);
    arrow.lineTo(c.x() + s * 0.26, c.y() - s * 0.04);
    arrow.lineTo(c.x() + s * 0.26, c.y() - s * 0.2);
    arrow.lineTo(c.x() + s * 0.5, c.y() + s * 0.06);
    arrow.lineTo(c.x() + s * 0.26, c.y() + s * 0.32);
    arrow.lineTo(c.x() + s * 0.26, c.y() + s * 0.16);
    arrow.lineTo(c.x() + s * 0.06, c.y() + s * 0.16);
    arrow.closeSubpath();
    p.drawPath(arrow);
}

void IconMinimize(QPainter &p, const QPointF &c, qreal s, QColor ink)
{
    p.setPen(IconPen(ink, 2));
    p.drawLine(QPointF(c.x() - s * 0.3, c.y() + s * 0.25),
               QPointF(c.x() + s * 0.3, c.y() + s * 0.25));
}

void IconClose(QPainter &p, const QPointF &c, qreal s, QColor ink)
{
    p.setPen(IconPen(ink, 2));
    p.drawLine(QPointF(c.x() - s * 0.28, c.y() - s * 0.28),
               QPointF(c.x() + s * 0.28, c.y() + s * 0.28));
    p.drawLine(QPointF(c.x() + s * 0.28, c.y() - s * 0.28),
               QPointF(c.x() - s * 0.28, c.y() + s * 0.28));
}

// ---- button faces ----

enum class ButtonState
{
    Normal,
    Hot,
    Pressed
};

const char *StateSuffix(ButtonState state)
{
    switch (state) {
    case ButtonState::Normal:
        return "normal";
    case ButtonState::Hot:
        return "hot";
    case ButtonState::Pressed:
        return "pressed";
    }
    return "normal";
}

struct FaceStyle
{
    QColor top, bottom, border, ink;
};

FaceStyle Shade(FaceStyle style, ButtonState state)
{
    if (state == ButtonState::Hot) {
        style.top = style.top.lighter(112);
        style.bottom = style.bottom.lighter(112);
    } else if (state == ButtonState::Pressed) {
        std::swap(style.top, style.bottom);
        style.top = style.top.darker(112);
        style.bottom = style.bottom.darker(108);
    }
    return style;
}

const FaceStyle kLightFace{QColor(255, 255, 255), QColor(221, 229, 239), QColor(150, 166, 186),
                           kInk};
const FaceStyle kBlueFace{QColor(76, 140, 214), kBlueDark, QColor(24, 62, 108), Qt::white};
// Dark words on a lighter orange: at least 4.5:1 in every state (white on orange reached 2.9:1).
const FaceStyle kAccentFace{QColor(250, 178, 98), QColor(226, 128, 40), QColor(150, 70, 10),
                            QColor(26, 10, 0)};

void DrawFace(QPainter &p, const QRectF &face, const FaceStyle &style, ButtonState state,
              qreal radius)
{
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0, style.top);
    fill.setColorAt(1, style.bottom);
    p.setPen(QPen(style.border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(face.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    if (state != ButtonState::Pressed) {
        p.setPen(QPen(QColor(255, 255, 255, 90), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(face.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1, radius - 1);
    }
    if (state == ButtonState::Hot) {
        p.setPen(QPen(QColor(255, 190, 110, 200), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(face.adjusted(1, 1, -1, -1), radius - 0.5, radius - 0.5);
    }
}

// A wide button: icon on the left, word beside it.
void SaveWideButton(const QString &name, int w, int h, const FaceStyle &base, const QString &word,
                    const IconPainter &icon, int fontSize, qreal iconSize, int insetY = 1)
{
    for (ButtonState state : {ButtonState::Normal, ButtonState::Hot, ButtonState::Pressed}) {
        QImage image = NewImage(w, h);
        QPainter p(&image);
        const FaceStyle style = Shade(base, state);
        const QRectF face(1, insetY, w - 2, h - 2 * insetY);
        DrawFace(p, face, style, state, 5);
        const qreal shift = state == ButtonState::Pressed ? 1 : 0;
        QFont font = UiFont(fontSize, true);
        p.setFont(font);
        const qreal textWidth = QFontMetricsF(font).horizontalAdvance(word);
        const qreal gap = iconSize * 0.45;
        const qreal total = iconSize + gap + textWidth;
        const qreal left = face.left() + (face.width() - total) / 2 + shift;
        const QPointF iconCentre(left + iconSize / 2, face.center().y() + shift);
        icon(p, iconCentre, iconSize, style.ink);
        p.setPen(style.ink);
        p.drawText(QRectF(left + iconSize + gap, face.top() + shift, textWidth + 2, face.height()),
                   Qt::AlignVCenter | Qt::AlignLeft, word);
        p.end();
        Save(image, name + "-" + StateSuffix(state));
    }
}

// A toolbar button: icon above, small word below.
void SaveToolbarButton(const QString &name, const QString &word, const IconPainter &icon)
{
    const int w = 48, h = 41;
    for (ButtonState state : {ButtonState::Normal, ButtonState::Hot, ButtonState::Pressed}) {
        QImage image = NewImage(w, h);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal shift = state == ButtonState::Pressed ? 1 : 0;
        if (state != ButtonState::Normal) {
            const FaceStyle style = Shade(kLightFace, state);
            DrawFace(p, QRectF(0, 0, w, h), style, state, 6);
        }
        icon(p, QPointF(w / 2.0 + shift, 15 + shift), 20,
             state == ButtonState::Normal ? kBlue : kBlueDark);
        p.setFont(UiFont(10, true));
        p.setPen(kInk);
        p.drawText(QRectF(shift, 27 + shift, w, 13), Qt::AlignHCenter | Qt::AlignVCenter, word);
        p.end();
        Save(image, name + "-" + StateSuffix(state));
    }
}

// A small square button with only an icon.
void SaveIconButton(const QString &name, int w, int h, const FaceStyle &base,
                    const IconPainter &icon, qreal iconSize)
{
    for (ButtonState state : {ButtonState::Normal, ButtonState::Hot, ButtonState::Pressed}) {
        QImage image = NewImage(w, h);
        QPainter p(&image);
        const FaceStyle style = Shade(base, state);
        DrawFace(p, QRectF(0, 0, w, h), style, state, 4);
        const qreal shift = state == ButtonState::Pressed ? 1 : 0;
        icon(p, QPointF(w / 2.0 + shift, h / 2.0 + shift), iconSize, style.ink);
        p.end();
        Save(image, name + "-" + StateSuffix(state));
    }
}

// Window chrome buttons on the dark title bar.
void SaveChromeButton(const QString &name, const IconPainter &icon, const QColor &hotColour)
{
    const int w = 31, h = 27;
    for (ButtonState state : {ButtonState::Normal, ButtonState::Hot, ButtonState::Pressed}) {
        QImage image = NewImage(w, h);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        if (state != ButtonState::Normal) {
            QColor fill = state == ButtonState::Hot ? hotColour : hotColour.darker(125);
            p.setPen(Qt::NoPen);
            p.setBrush(fill);
            p.drawRoundedRect(QRectF(1, 1, w - 2, h - 2), 4, 4);
        }
        icon(p, QPointF(w / 2.0, h / 2.0), 16, QColor(236, 242, 250));
        p.end();
        Save(image, name + "-" + StateSuffix(state));
    }
}

// ---- the big pictures ----

void DrawPanel(QPainter &p, const QRectF &r, const QColor &fill = kPanel)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kPanelLine, 1));
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);
}

void SaveBackground()
{
    const int w = 700, h = 506;
    QImage image = NewImage(w, h, kTransparentKey);
    QPainter p(&image);
    // The outline itself is drawn without antialiasing: every pixel is either the window or the
    // transparent key colour, so no pink fringe appears along the shaped edge.
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0, 0, w, h), 14, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(kNavyDark);
    p.drawPath(outline);
    QPainterPath inner;
    inner.addRoundedRect(QRectF(2, 2, w - 4, h - 4), 12, 12);
    QLinearGradient body(0, 60, 0, h);
    body.setColorAt(0, QColor(240, 244, 248));
    body.setColorAt(1, kBody);
    p.setBrush(body);
    p.drawPath(inner);

    // Toolbar strip under the title bar.
    QLinearGradient strip(0, 56, 0, 110);
    strip.setColorAt(0, QColor(214, 224, 236));
    strip.setColorAt(1, QColor(236, 241, 247));
    p.setBrush(strip);
    p.drawRect(QRectF(2, 56, w - 4, 52));
    p.setPen(QPen(kPanelLine, 1));
    p.drawLine(QPointF(2, 108.5), QPointF(w - 2, 108.5));

    // Logo and slogan at the left of the toolbar strip.
    DrawMark(p, QRectF(16, 66, 34, 34));
    p.setPen(kNavy);
    p.setFont(UiFont(17, true));
    p.drawText(QRectF(58, 64, 200, 22), Qt::AlignLeft | Qt::AlignVCenter, "Tonequill");
    p.setPen(kInkSoft);
    p.setFont(UiFont(11, false));
    p.drawText(QRectF(58, 85, 340, 16), Qt::AlignLeft | Qt::AlignVCenter,
               "Batch audio converter for video and audio files");
    // A thin divider between the web buttons and the help buttons.
    p.setPen(QPen(kPanelLine, 1));
    p.drawLine(QPointF(542.5, 68), QPointF(542.5, 100));

    // Preview panel, settings panel, job panel.
    DrawPanel(p, QRectF(7, 112, 275, 227));
    DrawPanel(p, QRectF(282, 112, 410, 152));
    DrawPanel(p, QRectF(7, 329, 566, 175), Qt::white);

    p.setPen(kInkSoft);
    p.setFont(UiFont(11, false));
    p.drawText(QRectF(292, 272, 392, 50), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               "Tip: drop files onto the list, click a file to trim it with the two markers of "
               "the timeline, double-click it to play it.");
    p.end();
    Save(image, "background");
}

void SaveTitleBar()
{
    const int w = 713, h = 65;
    QImage image = NewImage(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath band;
    band.addRoundedRect(QRectF(0, 0, 700, 80), 14, 14);
    QPainterPath clip;
    clip.addRect(QRectF(0, 0, w, 56));
    QLinearGradient fill(0, 0, 0, 56);
    fill.setColorAt(0, kNavyLight);
    fill.setColorAt(0.55, kNavy);
    fill.setColorAt(1, kNavyDark);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(band.intersected(clip));
    // A warm accent line under the band.
    p.setBrush(kAccent);
    p.drawRect(QRectF(2, 56, 696, 3));
    // Soft highlight on the upper half.
    QLinearGradient shine(0, 0, 0, 28);
    shine.setColorAt(0, QColor(255, 255, 255, 40));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(shine);
    p.drawPath(band.intersected(clip));
    DrawMark(p, QRectF(128, 10, 28, 28));
    p.end();
    Save(image, "imgTitle");
}

// A dark rounded strip starting `left` pixels into the picture (the rest stays transparent).
void SaveDarkStrip(const QString &name, int w, int h, int left)
{
    QImage image = NewImage(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0, QColor(62, 78, 100));
    fill.setColorAt(1, QColor(34, 44, 58));
    p.setPen(QPen(QColor(24, 32, 44), 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(left + 0.5, 0.5, w - left - 1, h - 1), 5, 5);
    p.end();
    Save(image, name);
}

void SaveLogo()
{
    const int w = 256, h = 150;
    QImage image = NewImage(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawMark(p, QRectF(w / 2.0 - 32, 22, 64, 64));
    p.setPen(QColor(220, 228, 238));
    p.setFont(UiFont(20, true));
    p.drawText(QRectF(0, 94, w, 26), Qt::AlignCenter, "Tonequill");
    p.setPen(QColor(150, 164, 182));
    p.setFont(UiFont(11, false));
    p.drawText(QRectF(0, 120, w, 18), Qt::AlignCenter, "Double-click a file to preview it");
    p.end();
    Save(image, "logo");
}

void SaveSplash()
{
    const int w = 480, h = 280;
    QImage image = NewImage(w, h, kNavyDark);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, w, h);
    fill.setColorAt(0, kNavyLight);
    fill.setColorAt(1, kNavyDark);
    p.fillRect(image.rect(), fill);
    // Faint sound waves across the picture.
    for (int line = 0; line < 5; ++line) {
        QPainterPath wave;
        const qreal base = 190 + line * 9;
        wave.moveTo(0, base);
        for (int x = 0; x <= w; x += 4)
            wave.lineTo(x, base - (18 - line * 3) * std::sin(x / 38.0 + line * 0.7) *
                                      std::sin(M_PI * x / w));
        p.setPen(QPen(QColor(255, 255, 255, 26 + line * 6), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(wave);
    }
    DrawMark(p, QRectF(40, 62, 96, 96));
    p.setPen(Qt::white);
    p.setFont(UiFont(44, true));
    p.drawText(QRectF(156, 62, 310, 56), Qt::AlignLeft | Qt::AlignVCenter, "Tonequill");
    p.setPen(QColor(250, 190, 120));
    p.setFont(UiFont(15, false));
    p.drawText(QRectF(158, 118, 310, 24), Qt::AlignLeft | Qt::AlignVCenter,
               "Batch audio converter");
    p.setPen(QColor(200, 212, 228));
    p.setFont(UiFont(12, false));
    p.drawText(QRectF(158, 142, 310, 20), Qt::AlignLeft | Qt::AlignVCenter,
               "AMR  AAC  MP3  AC3  M4A  OGG  WAV");
    p.setPen(QColor(170, 184, 204));
    p.setFont(UiFont(11, false));
    p.drawText(QRectF(20, h - 32, w - 40, 20), Qt::AlignLeft | Qt::AlignVCenter, "Loading…");
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    p.end();
    Save(image, "splash");
    const QString jpeg = g_outputFolder + "/splash.jpg";
    if (!image.convertToFormat(QImage::Format_RGB32).save(jpeg, "JPEG", 92))
        QTextStream(stderr) << "cannot write " << jpeg << "\n";
}

// Timeline pieces: the track, the selected segment (stretched) and the two markers.
void SaveTimeline()
{
    {
        QImage image = NewImage(260, 21);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(24, 32, 44), 1));
        p.setBrush(QColor(46, 58, 76));
        p.drawRect(QRectF(0.5, 0.5, 259, 20));
        p.setPen(QPen(QColor(120, 136, 158), 1));
        for (int x = 10; x < 260; x += 10) {
            const int tick = (x % 50 == 0) ? 6 : 3;
            p.drawLine(QPointF(x + 0.5, 20), QPointF(x + 0.5, 20 - tick));
        }
        p.end();
        Save(image, "timeline-track");
    }
    {
        QImage image = NewImage(16, 21);
        QPainter p(&image);
        QLinearGradient fill(0, 0, 0, 21);
        fill.setColorAt(0, QColor(250, 170, 90));
        fill.setColorAt(1, kAccentDark);
        p.fillRect(QRect(0, 3, 16, 15), fill);
        p.end();
        Save(image, "timeline-selected");
    }
    for (bool start : {true, false}) {
        QImage image = NewImage(9, 21);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath flag;
        // A post with a small flag pointing into the segment.
        const qreal post = start ? 1.5 : 7.5;
        flag.moveTo(post, 0);
        flag.lineTo(start ? 8.5 : 0.5, 4);
        flag.lineTo(post, 8);
        flag.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(start ? QColor(120, 220, 140) : QColor(240, 100, 90));
        p.drawPath(flag);
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(QPointF(post, 0), QPointF(post, 21));
        p.end();
        Save(image, start ? "marker-start" : "marker-end");
    }
}

void SaveColumnHeaders()
{
    for (bool hot : {false, true}) {
        QImage image = NewImage(64, 22);
        QPainter p(&image);
        QLinearGradient fill(0, 0, 0, 22);
        fill.setColorAt(0, hot ? QColor(255, 255, 255) : QColor(246, 248, 251));
        fill.setColorAt(1, hot ? QColor(226, 234, 244) : QColor(214, 223, 234));
        p.fillRect(image.rect(), fill);
        p.setPen(kPanelLine);
        p.drawLine(0, 21, 63, 21);
        p.drawLine(63, 3, 63, 18);
        p.end();
        Save(image, hot ? "column-header-hot" : "column-header");
    }
}

void SaveMarkAndColumnIcon()
{
    {
        QImage image = NewImage(56, 56);
        QPainter p(&image);
        DrawMark(p, QRectF(2, 2, 52, 52));
        p.end();
        Save(image, "logo-mark");
    }
    {
        // The small picture beside each column caption of the job list: a tiny wave tile.
        QImage image = NewImage(12, 12);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(0.5, 0.5, 11, 11), 2.5, 2.5);
        p.setPen(IconPen(Qt::white, 1.3));
        p.drawLine(QPointF(3, 7), QPointF(3, 8));
        p.drawLine(QPointF(5, 4), QPointF(5, 8));
        p.drawLine(QPointF(7, 5.5), QPointF(7, 8));
        p.drawLine(QPointF(9, 3), QPointF(9, 8));
        p.end();
        Save(image, "column-icon");
    }
}

// The application icon for the desktop: the product mark drawn afresh at each size, so small
// sizes stay sharp instead of being scaled down from a large picture.
void SaveApplicationIcons(const QString &folder)
{
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image = NewImage(size, size);
        QPainter p(&image);
        const qreal margin = size <= 24 ? 0.5 : size / 28.0;
        DrawMark(p, QRectF(margin, margin, size - 2 * margin, size - 2 * margin));
        p.end();
        const QString path = QString("%1/tonequill-%2.png").arg(folder).arg(size);
        if (!image.save(path, "PNG"))
            QTextStream(stderr) << "cannot write " << path << "\n";
    }
}

// ---- the progress window ----

// The progress window's words keep the look of text the window draws itself: no full hinting.
QFont WindowFont(int pixelSize)
{
    QFont font("DejaVu Sans");
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

// Its background: a soft panel with a title band that carries the window's name.
void SaveConvertingBackground()
{
    const int w = 435, h = 222;
    QImage image = NewImage(w, h);
    QPainter p(&image);
    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0, QColor(0xf4, 0xf6, 0xfa));
    fill.setColorAt(1, QColor(0xdc, 0xe2, 0xec));
    p.fillRect(QRect(0, 0, w, h), fill);
    QLinearGradient band(0, 0, 0, 36);
    band.setColorAt(0, QColor(0x3c, 0x5a, 0x8c));
    band.setColorAt(1, QColor(0x27, 0x3f, 0x66));
    p.fillRect(QRect(0, 0, w, 36), band);
    p.setPen(Qt::white);
    p.setFont(WindowFont(15));
    p.drawText(QRect(24, 0, w - 48, 36), Qt::AlignVCenter, "Converting");
    p.end();
    Save(image, "converting-background");
}

// One lamp of the running light: a lit green dot.
void SaveRunningLight()
{
    QImage image = NewImage(17, 17);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient light(QPointF(7, 7), 8);
    light.setColorAt(0, QColor(0xd8, 0xff, 0xc8));
    light.setColorAt(0.5, QColor(0x4c, 0xc2, 0x3a));
    light.setColorAt(1, QColor(0x1d, 0x6b, 0x16));
    p.setBrush(light);
    p.setPen(QPen(QColor(0x14, 0x4a, 0x10), 1));
    p.drawEllipse(QRectF(1.5, 1.5, 14, 14));
    p.end();
    Save(image, "running-light");
}

// The red Stop button of the progress window: a square stop sign and the word.
void SaveConversionStopButton()
{
    struct Face
    {
        ButtonState state;
        QColor top, bottom;
    };
    const QColor red(0xe0, 0x5a, 0x44), darkRed(0xa3, 0x2a, 0x1c);
    const Face faces[] = {{ButtonState::Normal, red, darkRed},
                          {ButtonState::Hot, QColor(0xf2, 0x76, 0x5e), QColor(0xb8, 0x36, 0x26)},
                          {ButtonState::Pressed, darkRed, red}};
    for (const Face &face : faces) {
        const int shift = face.state == ButtonState::Pressed ? 1 : 0;
        QImage image = NewImage(108, 38);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient fill(0, 0, 0, 38);
        fill.setColorAt(0, face.top);
        fill.setColorAt(1, face.bottom);
        p.setBrush(fill);
        p.setPen(QPen(QColor(0x5a, 0x1a, 0x12), 1));
        p.drawRoundedRect(QRectF(0.5, 0.5, 107, 37), 8, 8);
        p.setBrush(Qt::white);
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(20 + shift, 13 + shift, 12, 12));
        p.setFont(WindowFont(15));
        p.setPen(Qt::white);
        p.drawText(QRect(38 + shift, shift, 64, 38), Qt::AlignVCenter, "Stop");
        p.end();
        Save(image, QString("converting-stop-") + StateSuffix(face.state));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        QTextStream(stderr) << "usage: MakeArtwork <output folder> [<icon folder>]\n";
        return 2;
    }
    g_outputFolder = QString::fromLocal8Bit(argv[1]);
    if (argc == 3)
        SaveApplicationIcons(QString::fromLocal8Bit(argv[2]));

    SaveBackground();
    SaveTitleBar();
    SaveDarkStrip("imgPlayer", 265, 33, 11);
    SaveDarkStrip("imgPlay", 257, 33, 0);
    SaveLogo();
    SaveSplash();
    SaveTimeline();
    SaveColumnHeaders();
    SaveMarkAndColumnIcon();

    SaveChromeButton("minimize", IconMinimize, QColor(255, 255, 255, 60));
    SaveChromeButton("close", IconClose, QColor(210, 60, 50));
    SaveToolbarButton("homepage", "Home", IconHouse);
    SaveToolbarButton("email", "E-mail", IconEnvelope);
    SaveToolbarButton("help", "Help", IconQuestion);
    SaveToolbarButton("about", "About", IconInfo);
    SaveIconButton(
        "folder", 29, 26, kLightFace,
        [](QPainter &p, const QPointF &c, qreal s, QColor) {
            IconFolder(p, c, s, QColor(236, 176, 60));
        },
        18);
    SaveWideButton("options", 87, 29, kLightFace, "Options", IconGear, 12, 15);
    SaveWideButton("add", 108, 38, kBlueFace, "Add", IconPlus, 14, 16, 2);
    SaveWideButton("remove", 108, 38, kBlueFace, "Remove", IconMinus, 14, 16, 2);
    SaveWideButton("clear", 108, 38, kBlueFace, "Clear", IconBroom, 14, 18, 2);
    SaveWideButton("convert", 108, 60, kAccentFace, "Convert", IconConvert, 15, 21, 2);
    const FaceStyle playerFace{QColor(84, 100, 124), QColor(52, 64, 82), QColor(24, 32, 44),
                               QColor(236, 242, 250)};
    SaveIconButton("play", 26, 22, playerFace, IconPlay, 12);
    SaveIconButton("pause", 26, 22, playerFace, IconPause, 12);
    SaveIconButton("stop", 26, 22, playerFace, IconStop, 12);

    SaveConvertingBackground();
    SaveRunningLight();
    SaveConversionStopButton();
    return 0;
}
