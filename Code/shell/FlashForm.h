#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QTimer;

// The splash window: a borderless picture centred on the desktop, shown modally at start-up.
// 250 ms after it appears it runs the loading step, then stays until Timer2 has ticked twice
// (about two seconds after it appeared, or at once if loading took longer) and closes.
class TFrmFlashForm : public QDialog
{
    Q_OBJECT

public:
    TFrmFlashForm(const QImage &picture, std::function<void()> load, QWidget *owner = nullptr);

    // Timer2 ticks since the window was shown.
    int TickCount() const { return m_tickCount; }

    QLabel *ImgFlash;
    QTimer *Timer1;
    QTimer *Timer2;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void Timer1Timer();
    void Timer2Timer();

    std::function<void()> m_load;
    int m_tickCount = 0;
};

// Shows the splash with the picture "ImgFlash" of the resource library at
// `resourceLibraryPath` and returns when it has closed; `load` runs while it is up. Without a
// readable picture there is no splash and `load` runs at once.
void ShowSplash(QWidget *owner, const std::string &resourceLibraryPath,
                const std::function<void()> &load);
