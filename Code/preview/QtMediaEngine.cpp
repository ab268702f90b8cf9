#include "preview/QtMediaEngine.h"

#include "platform/ScreenSaver.h"
#include "preview/AvProbeEngine.h"

#include <QAudioOutput>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QMediaPlayer>
#include <QUrl>
#include <QVideoWidget>

TQtMediaEngine::TQtMediaEngine(QWidget *videoParent, platform::ScreenSaverInhibitor *inhibitor,
                               LogWriter writeLog, int loadTimeoutMs)
    : m_videoParent(videoParent), m_video(new QVideoWidget(videoParent)),
      m_audio(std::make_unique<QAudioOutput>()), m_player(std::make_unique<QMediaPlayer>()),
      m_inhibitor(inhibitor), m_writeLog(std::move(writeLog)), m_loadTimeoutMs(loadTimeoutMs)
{
    m_video->setObjectName("DSVideoWindowEx1");
    m_video->setAspectRatioMode(Qt::KeepAspectRatio);
    m_video->setStyleSheet("background-color: black;");
    m_video->setAttribute(Qt::WA_OpaquePaintEvent);
    if (m_videoParent) {
        m_video->setGeometry(m_videoParent->contentsRect());
        m_videoParent->installEventFilter(this);
    }
    m_player->setAudioOutput(m_audio.get());
    m_player->setVideoOutput(m_video);
    connect(m_player.get(), &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::EndOfMedia)
                    m_atEnd = true;
            });
    m_timer.setInterval(TimerIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &TQtMediaEngine::TimerTick);
}

TQtMediaEngine::~TQtMediaEngine()
{
    m_timer.stop();
    ReleaseScreenSaver();
    if (m_videoParent)
        m_videoParent->removeEventFilter(this);
    m_player->setVideoOutput(static_cast<QObject *>(nullptr));
}

// The video window follows the size of the pane that holds it.
bool TQtMediaEngine::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_videoParent && event->type() == QEvent::Resize)
        m_video->setGeometry(m_videoParent->contentsRect());
    return QObject::eventFilter(watched, event);
}

void TQtMediaEngine::SetActive(bool active)
{
    if (!active)
        ClearGraph();
    m_active = active;
}

void TQtMediaEngine::ClearGraph()
{
    m_timer.stop();
    ReleaseScreenSaver();
    m_player->stop();
    m_player->setSource(QUrl());
    m_loaded = false;
    m_atEnd = false;
}

void TQtMediaEngine::RequireLoaded(const char *operation) const
{
    if (!m_active)
        throw EMediaEngineError(std::string(operation) + ": the media engine is not active");
    if (!m_loaded)
        throw EMediaEngineError(std::string(operation) + ": no media is loaded");
}

void TQtMediaEngine::ThrowOnPlayerError(const char *operation) const
{
    if (m_player->error() != QMediaPlayer::NoError)
        throw EMediaEngineError(std::string(operation) + ": " +
                                m_player->errorString().toStdString());
}

int TQtMediaEngine::RenderFile(const std::string &path)
{
    if (!m_active)
        throw EMediaEngineError("RenderFile: the media engine is not active");
    ClearGraph();
    // Refuses files that are not media (a playlist saved as .avi) before the player sees them.
    const int unrendered = TAvProbeEngine::CountStreamsWithoutDecoder(path);
    WaitForLoad(path);
    m_loaded = true;
    return unrendered;
}

void TQtMediaEngine::WaitForLoad(const std::string &path)
{
    QEventLoop wait;
    bool failed = false;
    const auto finishOn = [&](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia) {
            wait.quit();
        } else if (status == QMediaPlayer::InvalidMedia) {
            failed = true;
            wait.quit();
        }
    };
    const QMetaObject::Connection statusWatch =
        connect(m_player.get(), &QMediaPlayer::mediaStatusChanged, &wait, finishOn);
    const QMetaObject::Connection errorWatch =
        connect(m_player.get(), &QMediaPlayer::errorOccurred, &wait, [&] {
            failed = true;
            wait.quit();
        });
    QTimer deadline;
    deadline.setSingleShot(true);
    bool timedOut = false;
    connect(&deadline, &QTimer::timeout, &wait, [&] {
        timedOut = true;
        wait.quit();
    });

    m_player->setSource(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
    finishOn(m_player->mediaStatus());
    if (!failed && m_player->mediaStatus() != QMediaPlayer::LoadedMedia &&
        m_player->mediaStatus() != QMediaPlayer::BufferedMedia) {
        deadline.start(m_loadTimeoutMs);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    disconnect(statusWatch);
    disconnect(errorWatch);

    if (failed || timedOut) {
        const std::string reason =
            timedOut ? "loading timed out" : m_player->errorString().toStdString();
        ClearGraph();
        throw EMediaEngineError("Cannot render \"" + path + "\": " + reason);
    }
}

void TQtMediaEngine::Play()
{
    RequireLoaded("Play");
    if (m_atEnd) {
        m_player->setPosition(0);
        m_atEnd = false;
    }
    m_seekTarget.reset();
    m_player->play();
    ThrowOnPlayerError("Play");
    m_timer.start();
    if (m_player->hasVideo())
        HoldScreenSaver();
}

void TQtMediaEngine::Pause()
{
    RequireLoaded("Pause");
    m_timer.stop();
    m_player->pause();
    // GStreamer can drop a seek made while playing when the pipeline pauses right after it
    // (the tick at the end marker seeks back to the start and pauses): made again while paused,
    // it holds. Only that seek is repeated; a pause of the user's pauses where playback is.
    if (m_seekTarget) {
        m_player->setPosition(*m_seekTarget);
        m_seekTarget.reset();
    }
    ReleaseScreenSaver();
    ThrowOnPlayerError("Pause");
}

void TQtMediaEngine::Stop()
{
    if (!m_active)
        throw EMediaEngineError("Stop: the media engine is not active");
    m_timer.stop();
    m_player->stop();
    ReleaseScreenSaver();
}

int64_t TQtMediaEngine::DurationMs() const
{
    return m_active && m_loaded ? std::max<int64_t>(m_player->duration(), 0) : 0;
}

// At the end of the media the player may report a position a little short of the duration;
// the end counts as the duration, so the tick sees it.
int64_t TQtMediaEngine::CurrentPosition() const
{
    if (!m_active || !m_loaded)
        return 0;
    const int64_t ms = m_atEnd ? DurationMs() : m_player->position();
    return ms * 10000;
}

void TQtMediaEngine::SeekTo(int64_t ms)
{
    if (!m_active || !m_loaded)
        return;
    m_player->setPosition(ms);
    if (m_inTick)
        m_seekTarget = ms;
    if (ms < DurationMs())
        m_atEnd = false;
}

void TQtMediaEngine::TimerTick()
{
    if (!m_timerCallback || !m_active || !m_loaded)
        return;
    const auto clamp32 = [](int64_t ms) {
        return uint32_t(std::clamp<int64_t>(ms, 0, UINT32_MAX));
    };
    // A seek of this callback is kept for a Pause that follows it, and forgotten afterwards.
    struct TickScope
    {
        TQtMediaEngine &engine;
        ~TickScope()
        {
            engine.m_inTick = false;
            engine.m_seekTarget.reset();
        }
    } scope{*this};
    m_inTick = true;
    m_timerCallback(clamp32(CurrentPosition() / 10000), clamp32(DurationMs()));
}

void TQtMediaEngine::HoldScreenSaver()
{
    if (!m_inhibitor)
        return;
    std::string error;
    if (!m_inhibitor->Inhibit("Playing a preview", &error) && !m_inhibitFailureLogged) {
        m_inhibitFailureLogged = true;
        if (m_writeLog)
            m_writeLog("Screen saver could not be held off: " + error);
    }
}

void TQtMediaEngine::ReleaseScreenSaver()
{
    if (m_inhibitor)
        m_inhibitor->Release();
}
