#include "preview/TimelineStrip.h"

#include "support/TextFunc.h"

#include <QAccessibleValueChangeEvent>
#include <QAccessibleWidget>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

namespace {

using Geometry = TTimelineGeometry;

// One of the three images: shows its picture stretched and reports presses.
class TStripImage : public QWidget
{
public:
    using PressHandler = std::function<void(Geometry::Button, int step)>;

    TStripImage(QWidget *parent, const char *name, PressHandler onPress)
        : QWidget(parent), m_onPress(std::move(onPress))
    {
        setObjectName(name);
    }
    void SetPicture(const QPixmap &picture)
    {
        m_picture = picture;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (m_picture.isNull())
            painter.fillRect(rect(), palette().color(QPalette::Mid));
        else
            painter.drawPixmap(rect(), m_picture);
    }
    // The second press of a double-click arrives here too and nudges again.
    void mousePressEvent(QMouseEvent *event) override
    {
        const Qt::MouseButton pressed = event->button();
        Geometry::Button button = Geometry::Button::Middle;
        if (pressed == Qt::LeftButton)
            button = Geometry::Button::Left;
        else if (pressed == Qt::RightButton)
            button = Geometry::Button::Right;
        else if (pressed != Qt::MiddleButton)
            return;
        const Qt::KeyboardModifiers keys = event->modifiers() & ~Qt::KeypadModifier;
        const bool others = (keys & ~(Qt::ControlModifier | Qt::ShiftModifier)) != 0 ||
                            (event->buttons() & ~pressed) != 0;
        const int step =
            Geometry::NudgeStep(keys & Qt::ControlModifier, keys & Qt::ShiftModifier, others);
        event->accept();
        m_onPress(button, step);
    }

private:
    PressHandler m_onPress;
    QPixmap m_picture;
};

// A marker: painted with its picture, dragged horizontally with the left button, moved by the
// keys of its strip while it has the focus.
class TStripMarker : public QWidget
{
public:
    struct Handlers
    {
        std::function<void()> pressed;
        std::function<void(int dx)> dragged; // distance from the press, in px
        std::function<void()> released;
    };

    TStripMarker(QWidget *parent, const char *name, TTimelineStrip &strip, Geometry::Marker marker,
                 Handlers handlers)
        : QWidget(parent), m_strip(strip), m_marker(marker), m_handlers(std::move(handlers))
    {
        setObjectName(name);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::StrongFocus);
    }
    TTimelineStrip &Strip() const { return m_strip; }
    Geometry::Marker Marker() const { return m_marker; }
    // Black pixels of the picture are cleared, so that the button face shows through them.
    void SetPicture(const QImage &picture)
    {
        QImage shown = picture.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < shown.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(shown.scanLine(y));
            for (int x = 0; x < shown.width(); ++x) {
                if ((line[x] & 0x00ffffff) == 0)
                    line[x] = 0;
            }
        }
        m_picture = QPixmap::fromImage(shown);
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Button));
        if (m_picture.isNull()) {
            painter.setPen(palette().color(QPalette::ButtonText));
            painter.drawRect(rect().adjusted(0, 0, -1, -1));
            return;
        }
        painter.drawPixmap(rect(), m_picture);
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->modifiers() & ~Qt::KeypadModifier || !m_strip.MarkerKey(m_marker, event->key()))
            QWidget::keyPressEvent(event);
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        m_dragging = true;
        m_pressX = event->globalPosition().x();
        event->accept();
        m_handlers.pressed();
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (m_dragging)
            m_handlers.dragged(int(event->globalPosition().x() - m_pressX));
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (!m_dragging || event->button() != Qt::LeftButton)
            return;
        m_handlers.dragged(int(event->globalPosition().x() - m_pressX));
        m_dragging = false;
        m_handlers.released();
    }

private:
    TTimelineStrip &m_strip;
    Geometry::Marker m_marker;
    Handlers m_handlers;
    QPixmap m_picture;
    bool m_dragging = false;
    double m_pressX = 0;
};

// What assistive technology sees of a marker: a slider valued in seconds.
class TMarkerAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit TMarkerAccessible(TStripMarker *marker)
        : QAccessibleWidget(marker, QAccessible::Slider), m_marker(marker)
    {
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Name)
            return m_marker->Strip().MarkerName(m_marker->Marker());
        if (type == QAccessible::Value)
            return QString::number(Seconds());
        return QAccessibleWidget::text(type);
    }
    QVariant currentValue() const override { return Seconds(); }
    void setCurrentValue(const QVariant &value) override
    {
        m_marker->Strip().MoveMarkerTo(m_marker->Marker(), value.toLongLong());
    }
    QVariant maximumValue() const override { return qlonglong(m_marker->Strip().Duration()); }
    QVariant minimumValue() const override { return qlonglong(0); }
    QVariant minimumStepSize() const override { return qlonglong(1); }

private:
    qlonglong Seconds() const { return m_marker->Strip().MarkerSeconds(m_marker->Marker()); }

    TStripMarker *m_marker;
};

QAccessibleInterface *MarkerAccessible(const QString &, QObject *object)
{
    if (auto *marker = dynamic_cast<TStripMarker *>(object))
        return new TMarkerAccessible(marker);
    return nullptr;
}

void InstallMarkerAccessible()
{
    static const bool installed = [] {
        QAccessible::installFactory(MarkerAccessible);
        return true;
    }();
    (void)installed;
}

} // namespace

TTimelineStrip::TTimelineStrip(QFrame *panel1, TTimelineGeometry &geometry,
                               const TTimelineState &timeline)
    : QObject(panel1), m_panel1(panel1), m_geometry(geometry), m_timeline(timeline)
{
    InstallMarkerAccessible();
    m_panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panel1->setLineWidth(Geometry::Border);
    const auto press = [this](Geometry::Image image) {
        return [this, image](Geometry::Button button, int step) {
            emit ImagePressed(image, button, step);
        };
    };
    m_panel2 = new TStripImage(panel1, "Panel2", press(Geometry::Image::Left));
    m_panel4 = new TStripImage(panel1, "Panel4", press(Geometry::Image::Middle));
    m_panel3 = new TStripImage(panel1, "Panel3", press(Geometry::Image::Right));

    m_splitter1 = new TStripMarker(panel1, "Splitter1", *this, Geometry::Marker::Start,
                                   {[this] { m_dragStartWidth = m_geometry.LeftWidth(); },
                                    [this](int dx) {
                                        m_geometry.SetLeftWidth(m_dragStartWidth + dx);
                                        Relayout();
                                    },
                                    [this] { emit Splitter1Moved(); }});
    m_splitter2 = new TStripMarker(panel1, "Splitter2", *this, Geometry::Marker::End,
                                   {[this] { m_dragStartWidth = m_geometry.RightWidth(); },
                                    [this](int dx) {
                                        m_geometry.SetRightWidth(m_dragStartWidth - dx);
                                        Relayout();
                                    },
                                    [this] { emit Splitter2Moved(); }});
    Relayout();
}

void TTimelineStrip::Relayout()
{
    m_panel1->setFixedSize(Geometry::StripWidth, Geometry::StripHeight);
    const int top = Geometry::Border;
    const int height = Geometry::StripHeight - 2 * Geometry::Border;
    int x = Geometry::Border;
    const auto place = [&](QWidget *widget, int width) {
        widget->setGeometry(x, top, width, height);
        x += width;
    };
    place(m_panel2, m_geometry.LeftWidth());
    place(m_splitter1, Geometry::MarkerWidth);
    place(m_panel4, m_geometry.MiddleWidth());
    place(m_splitter2, Geometry::MarkerWidth);
    place(m_panel3, m_geometry.RightWidth());
    NotifyValue(Geometry::Marker::Start);
    NotifyValue(Geometry::Marker::End);
}

int64_t TTimelineStrip::MarkerSeconds(Geometry::Marker marker) const
{
    return m_geometry.SecondsOf(marker, m_timeline.TimelineDuration);
}

QString TTimelineStrip::MarkerName(Geometry::Marker marker) const
{
    const char *caption = marker == Geometry::Marker::Start ? "Start " : "End ";
    return caption + QString::fromStdString(TTextFunc::FormatTime(MarkerSeconds(marker)));
}

bool TTimelineStrip::MarkerKey(Geometry::Marker marker, int key)
{
    const int64_t now = MarkerSeconds(marker);
    const int64_t duration = m_timeline.TimelineDuration;
    bool moved = false;
    switch (key) {
    case Qt::Key_Right:
    case Qt::Key_Up:
        moved = m_geometry.MoveToSeconds(marker, now + 1, duration);
        break;
    case Qt::Key_Left:
    case Qt::Key_Down:
        moved = m_geometry.MoveToSeconds(marker, now - 1, duration);
        break;
    case Qt::Key_PageUp:
        moved = m_geometry.MoveToSeconds(marker, now + 10, duration);
        break;
    case Qt::Key_PageDown:
        moved = m_geometry.MoveToSeconds(marker, now - 10, duration);
        break;
    case Qt::Key_Home:
        moved = m_geometry.MoveToEnd(marker, false);
        break;
    case Qt::Key_End:
        moved = m_geometry.MoveToEnd(marker, true);
        break;
    default:
        return false;
    }
    if (moved)
        ReportMove(marker);
    return true;
}

void TTimelineStrip::MoveMarkerTo(Geometry::Marker marker, int64_t seconds)
{
    if (m_geometry.MoveToSeconds(marker, seconds, m_timeline.TimelineDuration))
        ReportMove(marker);
}

// A keyboard move ends like a drag: the strip is laid out again and the move is reported.
void TTimelineStrip::ReportMove(Geometry::Marker marker)
{
    Relayout();
    if (marker == Geometry::Marker::Start)
        emit Splitter1Moved();
    else
        emit Splitter2Moved();
}

void TTimelineStrip::NotifyValue(Geometry::Marker marker)
{
    const int64_t seconds = MarkerSeconds(marker);
    int64_t &notified = m_notifiedSeconds[marker == Geometry::Marker::Start ? 0 : 1];
    if (seconds == notified)
        return;
    notified = seconds;
    QWidget *widget = marker == Geometry::Marker::Start ? m_splitter1 : m_splitter2;
    QAccessibleValueChangeEvent valueChanged(widget, qlonglong(seconds));
    QAccessible::updateAccessibility(&valueChanged);
    QAccessibleEvent nameChanged(widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameChanged);
}

void TTimelineStrip::SetPictures(const QPixmap &image, const QImage &startMarker,
                                 const QImage &endMarker)
{
    for (QWidget *panel : {m_panel2, m_panel4, m_panel3})
        static_cast<TStripImage *>(panel)->SetPicture(image);
    static_cast<TStripMarker *>(m_splitter1)->SetPicture(startMarker);
    static_cast<TStripMarker *>(m_splitter2)->SetPicture(endMarker);
}
