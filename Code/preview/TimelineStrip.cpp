#include "preview/TimelineStrip.h"

#include <QFrame>
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

// A marker: painted with its picture, dragged horizontally with the left button.
class TStripMarker : public QWidget
{
public:
    struct Handlers
    {
        std::function<void()> pressed;
        std::function<void(int dx)> dragged; // distance from the press, in px
        std::function<void()> released;
    };

    TStripMarker(QWidget *parent, const char *name, Handlers handlers)
        : QWidget(parent), m_handlers(std::move(handlers))
    {
        setObjectName(name);
        setCursor(Qt::PointingHandCursor);
    }
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
    Handlers m_handlers;
    QPixmap m_picture;
    bool m_dragging = false;
    double m_pressX = 0;
};

} // namespace

TTimelineStrip::TTimelineStrip(QFrame *panel1, TTimelineGeometry &geometry)
    : QObject(panel1), m_panel1(panel1), m_geometry(geometry)
{
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

    m_splitter1 = new TStripMarker(panel1, "Splitter1",
                                   {[this] { m_dragStartWidth = m_geometry.LeftWidth(); },
                                    [this](int dx) {
                                        m_geometry.SetLeftWidth(m_dragStartWidth + dx);
                                        Relayout();
                                    },
                                    [this] { emit Splitter1Moved(); }});
    m_splitter2 = new TStripMarker(panel1, "Splitter2",
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
}

void TTimelineStrip::SetPictures(const QPixmap &image, const QImage &startMarker,
                                 const QImage &endMarker)
{
    for (QWidget *panel : {m_panel2, m_panel4, m_panel3})
        static_cast<TStripImage *>(panel)->SetPicture(image);
    static_cast<TStripMarker *>(m_splitter1)->SetPicture(startMarker);
    static_cast<TStripMarker *>(m_splitter2)->SetPicture(endMarker);
}
