#include "shell/PreviewDisplayBinding.h"

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

TPreviewDisplayBinding::TPreviewDisplayBinding(QLabel *logo, QWidget *videoWindow,
                                               QLabel *timeCaption, QProgressBar *playState)
    : m_logo(logo), m_videoWindow(videoWindow), m_timeCaption(timeCaption), m_playState(playState)
{
    SetLogoVisible(true);
}

// On a real display the video window has a native surface of its own, which covers any widget
// beside it whatever their stacking order; so the logo is shown by hiding the video window.
void TPreviewDisplayBinding::SetLogoVisible(bool visible)
{
    m_videoWindow->setVisible(!visible);
    m_logo->setVisible(visible);
    if (visible)
        m_logo->raise();
}

void TPreviewDisplayBinding::SetTimeCaption(const std::string &caption)
{
    m_timeCaption->setText(QString::fromStdString(caption));
}

void TPreviewDisplayBinding::SetProgressRange(int minimum, int maximum)
{
    m_playState->setRange(minimum, maximum);
}

void TPreviewDisplayBinding::SetProgressPosition(int position)
{
    m_playState->setValue(position);
}
