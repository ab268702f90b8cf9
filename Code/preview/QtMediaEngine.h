#pragma once

#include "preview/MediaEngine.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class QAudioOutput;
class QMediaPlayer;
class QVideoWidget;
class QWidget;

namespace platform {
class ScreenSaverInhibitor;
}

// The preview's engine on Qt Multimedia: one QMediaPlayer with an audio output and a
// letter-boxed video window on black, the position timer, and the screen saver held off while a
// video plays. RenderFile first checks the file with the libavformat probe (same input rules as
// the probe and the encoder), then waits, in a bounded local event loop that takes no user
// input, until the player has loaded the media or failed.
class TQtMediaEngine : public QObject, public MediaEngine
{
    Q_OBJECT

public:
    using LogWriter = std::function<void(const std::string &message)>;

    // The video window is created inside `videoParent` and fills it. `inhibitor` may be null;
    // its failures go to `writeLog`.
    TQtMediaEngine(QWidget *videoParent, platform::ScreenSaverInhibitor *inhibitor,
                   LogWriter writeLog, int loadTimeoutMs = 15000);
    ~TQtMediaEngine() override;

    bool Active() const override { return m_active; }
    void SetActive(bool active) override;
    void ClearGraph() override;
    int RenderFile(const std::string &path) override;
    void Play() override;
    void Pause() override;
    void Stop() override;
    int64_t DurationMs() const override;
    int64_t CurrentPosition() const override;
    void SeekTo(int64_t ms) override;
    void SetTimerCallback(TimerCallback callback) override
    {
        m_timerCallback = std::move(callback);
    }

    // DSVideoWindowEx1.
    QVideoWidget *VideoWindow() const { return m_video; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void RequireLoaded(const char *operation) const;
    void WaitForLoad(const std::string &path);
    void ThrowOnPlayerError(const char *operation) const;
    void HoldScreenSaver();
    void ReleaseScreenSaver();
    void TimerTick();

    QWidget *m_videoParent;
    QVideoWidget *m_video;
    std::unique_ptr<QAudioOutput> m_audio;
    std::unique_ptr<QMediaPlayer> m_player;
    QTimer m_timer;
    TimerCallback m_timerCallback;
    platform::ScreenSaverInhibitor *m_inhibitor;
    LogWriter m_writeLog;
    int m_loadTimeoutMs;
    bool m_active = false;
    bool m_loaded = false;
    bool m_atEnd = false;
    bool m_inTick = false;               // the timer callback runs
    std::optional<int64_t> m_seekTarget; // a seek made by the running timer callback
    bool m_inhibitFailureLogged = false;
};
