#pragma once

#include "preview/PreviewDisplay.h"

class QLabel;
class QProgressBar;
class QWidget;

// The preview player's view of the main window: the logo or the video window in the preview
// pane, the elapsed-time caption and the play-state bar.
class TPreviewDisplayBinding : public IPreviewDisplay
{
public:
    // Starts with the logo shown.
    TPreviewDisplayBinding(QLabel *logo, QWidget *videoWindow, QLabel *timeCaption,
                           QProgressBar *playState);

    void SetLogoVisible(bool visible) override;
    void SetTimeCaption(const std::string &caption) override;
    void SetProgressRange(int minimum, int maximum) override;
    void SetProgressPosition(int position) override;

private:
    QLabel *m_logo;
    QWidget *m_videoWindow;
    QLabel *m_timeCaption;
    QProgressBar *m_playState;
};
