#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

// While in scope, remembers the active window and its control with the focus; on leaving, gives
// the focus back to them. A dialog or box that closed leaves the program with no keyboard focus
// where no window manager hands it back (and a dialog kept hidden for later keeps its own).
class TFocusReturn
{
public:
    TFocusReturn() : m_window(QApplication::activeWindow()), m_widget(QApplication::focusWidget())
    {
    }
    TFocusReturn(const TFocusReturn &) = delete;
    TFocusReturn &operator=(const TFocusReturn &) = delete;
    ~TFocusReturn()
    {
        if (m_window)
            m_window->activateWindow();
        if (m_widget && m_widget->isEnabled())
            m_widget->setFocus(Qt::OtherFocusReason);
    }

private:
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_widget;
};
