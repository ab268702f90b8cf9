#include "toolkit/Accessibility.h"

#include <QAbstractScrollArea>
#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

namespace toolkit {

namespace {

const char *const kRoleProperty = "tqAccessibleRole";

QAccessibleInterface *WidgetWithRole(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget == nullptr)
        return nullptr;
    const QVariant role = widget->property(kRoleProperty);
    if (!role.isValid())
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Role(role.toInt()));
}

void InstallRoleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(WidgetWithRole);
        return true;
    }();
    (void)installed;
}

int ClampStart(int wanted, int areaStart, int areaLength, int length)
{
    // A window larger than the area keeps its top-left corner on screen.
    const int last = std::max(areaStart, areaStart + areaLength - length);
    return std::clamp(wanted, areaStart, last);
}

QPoint ClampInto(const QRect &available, const QPoint &topLeft, const QSize &size)
{
    return {ClampStart(topLeft.x(), available.left(), available.width(), size.width()),
            ClampStart(topLeft.y(), available.top(), available.height(), size.height())};
}

} // namespace

void SetAccessibleRole(QWidget *widget, QAccessible::Role role)
{
    InstallRoleFactory();
    widget->setProperty(kRoleProperty, int(role));
}

TAnnouncer::TAnnouncer(QWidget *parent) : QWidget(parent)
{
    setObjectName("announcer");
    SetAccessibleRole(this, QAccessible::AlertMessage);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 0, 0);
}

void TAnnouncer::Announce(const QString &text)
{
    setAccessibleName(text);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void TFocusMarks::WatchFocusableChildren(QWidget *window)
{
    for (QWidget *child : window->findChildren<QWidget *>()) {
        if ((child->focusPolicy() & Qt::TabFocus) == Qt::TabFocus)
            Watch(child);
    }
}

void TFocusMarks::Watch(QWidget *widget)
{
    widget->installEventFilter(this);
    if (auto *area = qobject_cast<QAbstractScrollArea *>(widget)) {
        m_viewports.insert(area->viewport(), area);
        area->viewport()->installEventFilter(this);
    }
}

QWidget *TFocusMarks::FocusOwner(QWidget *watched) const
{
    return m_viewports.value(watched, watched);
}

void TFocusMarks::PaintRing(QWidget *widget)
{
    QPainter painter(widget);
    const QColor dark(0x0b, 0x2d, 0x6b);
    QRect ring = widget->rect().adjusted(0, 0, -1, -1);
    for (const QColor &colour : {dark, QColor(Qt::white), dark}) {
        painter.setPen(colour);
        painter.drawRect(ring);
        ring.adjust(1, 1, -1, -1);
    }
}

bool TFocusMarks::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = static_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        widget->update();
        if (auto *area = qobject_cast<QAbstractScrollArea *>(widget))
            area->viewport()->update();
        return false;
    case QEvent::Paint:
        if (m_painting || !FocusOwner(widget)->hasFocus())
            return false;
        // The widget paints itself first; the ring goes on top.
        m_painting = true;
        QCoreApplication::sendEvent(widget, event);
        m_painting = false;
        PaintRing(widget);
        return true;
    default:
        return false;
    }
}

TKeyboardWindowMover::TKeyboardWindowMover(QWidget *window) : QObject(window), m_window(window) {}

void TKeyboardWindowMover::Start()
{
    if (m_moving)
        return;
    m_moving = true;
    qApp->installEventFilter(this);
}

void TKeyboardWindowMover::Stop()
{
    m_moving = false;
    qApp->removeEventFilter(this);
}

bool TKeyboardWindowMover::MoveBy(int key, bool fine)
{
    const int step = fine ? 1 : 10;
    QPoint delta;
    switch (key) {
    case Qt::Key_Left:
        delta = {-step, 0};
        break;
    case Qt::Key_Right:
        delta = {step, 0};
        break;
    case Qt::Key_Up:
        delta = {0, -step};
        break;
    case Qt::Key_Down:
        delta = {0, step};
        break;
    default:
        return false;
    }
    QPoint target = m_window->pos() + delta;
    if (const QScreen *screen = m_window->screen())
        target = ClampInto(screen->availableGeometry(), target, m_window->frameGeometry().size());
    m_window->move(target);
    return true;
}

bool TKeyboardWindowMover::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (!MoveBy(key->key(), key->modifiers() & Qt::ControlModifier))
            Stop(); // Return, Esc or any other key ends the move and is used up
        event->accept();
        return true;
    }
    case QEvent::MouseButtonPress:
        Stop();
        return false;
    default:
        return false;
    }
}

QPoint PlaceWithin(const QRect &available, const QSize &size)
{
    QRect centred(QPoint(0, 0), size);
    centred.moveCenter(available.center());
    return ClampInto(available, centred.topLeft(), size);
}

} // namespace toolkit
