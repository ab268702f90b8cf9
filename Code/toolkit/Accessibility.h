#pragma once

#include <QAccessible>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace toolkit {

// Gives a widget the role assistive technology announces for it. A plain QWidget window
// otherwise reports itself as a nameless client area ("filler").
void SetAccessibleRole(QWidget *widget, QAccessible::Role role);

// Tells assistive technology something that has no box of its own on screen: an invisible child
// with the alert role whose name is the latest announcement, sent as an alert event.
class TAnnouncer : public QWidget
{
    Q_OBJECT

public:
    explicit TAnnouncer(QWidget *parent);
    void Announce(const QString &text);
};

// Draws a two-tone ring (white outside, dark blue inside) over every watched widget while it
// has the keyboard focus: one of the two colours contrasts at least 4.5:1 with any background.
class TFocusMarks : public QObject
{
    Q_OBJECT

public:
    explicit TFocusMarks(QObject *parent) : QObject(parent) {}
    // Watches every widget inside `window` that takes the focus by Tab (and the viewport of a
    // scroll area, which covers all of it but its frame).
    void WatchFocusableChildren(QWidget *window);
    void Watch(QWidget *widget);

    static void PaintRing(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The widget whose focus a watched widget shows: itself, or the scroll area of a viewport.
    QWidget *FocusOwner(QWidget *watched) const;

    QHash<QObject *, QWidget *> m_viewports; // viewport -> its scroll area
    bool m_painting = false;
};

// Moves a window with the keyboard, for windows without a system frame: Start() enters the move
// mode, the arrow keys move the window by 10 px (1 px with Ctrl), within the screen's available
// area; Return, Esc or a mouse press end it.
class TKeyboardWindowMover : public QObject
{
    Q_OBJECT

public:
    explicit TKeyboardWindowMover(QWidget *window);
    void Start();
    bool Moving() const { return m_moving; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Stop();
    bool MoveBy(int key, bool fine);

    QWidget *m_window;
    bool m_moving = false;
};

// The top-left corner that shows a window of `size` centred in `available`, or at the area's
// top-left corner where the window is larger, so that its title and chrome stay on screen.
QPoint PlaceWithin(const QRect &available, const QSize &size);

} // namespace toolkit
