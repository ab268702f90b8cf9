#include "shell/PreviewDisplayBinding.h"

#include <QLabel>
#include <QProgressBar>

TPreviewDisplayBinding::TPreviewDisplayBinding(QLabel *logo, QLabel *timeCaption,
                                               QProgressBar *playState)
    : m_logo(logo), m_timeCaption(timeCaption), m_playState(playState)
{
}

void TPreviewDisplayBinding::SetLogoVisible(bool visible)
{
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
