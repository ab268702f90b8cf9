#pragma once

#include "preview/PreviewDisplay.h"

class QLabel;
class QProgressBar;

// The preview player's view of the main window: the logo over the video window, the
// elapsed-time caption and the play-state bar.
class TPreviewDisplayBinding : public IPreviewDisplay
{
public:
    TPreviewDisplayBinding(QLabel *logo, QLabel *timeCaption, QProgressBar *playState);

    void SetLogoVisible(bool visible) override;
    void SetTimeCaption(const std::string &caption) override;
    void SetProgressRange(int minimum, int maximum) override;
    void SetProgressPosition(int position) override;

private:
    QLabel *m_logo;
    QLabel *m_timeCaption;
    QProgressBar *m_playState;
};
