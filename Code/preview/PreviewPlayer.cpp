#include "preview/PreviewPlayer.h"

#include "preview/MediaEngine.h"
#include "preview/PreviewDisplay.h"

#include <cstdio>
#include <stdexcept>

namespace {

constexpr const char *kZeroTime = "00:00:00";

} // namespace

void TPreviewPlayer::BindPreview(MediaEngine &engine, IPreviewDisplay &display,
                                 std::string &previewFile, LogWriter writeLog)
{
    m_engine = &engine;
    m_display = &display;
    m_previewFile = &previewFile;
    m_writeLog = std::move(writeLog);
    m_engine->SetTimerCallback([this](uint32_t currentMs, uint32_t durationMs) {
        dstrckbrMainformTimer(currentMs, durationMs);
    });
}

MediaEngine &TPreviewPlayer::FilterGraph() const
{
    if (!m_engine)
        throw std::logic_error("The preview player is used before it was bound to its engine");
    return *m_engine;
}

IPreviewDisplay &TPreviewPlayer::Display() const
{
    FilterGraph();
    return *m_display;
}

const std::string &TPreviewPlayer::PreviewFile() const
{
    FilterGraph();
    return *m_previewFile;
}

void TPreviewPlayer::PlayFile(const std::string &path)
{
    MediaEngine &engine = FilterGraph();
    engine.SetActive(false);
    engine.ClearGraph();
    engine.SetActive(true);

    bool failed = false;
    int result = 0;
    try {
        result = engine.RenderFile(path);
        *m_previewFile = path;
    } catch (const std::exception &) {
        m_previewFile->clear();
        failed = true;
    }
    if (failed || result != 0) {
        if (m_writeLog)
            m_writeLog(PlayErrorText);
        engine.ClearGraph();
        return;
    }
    StartPlayback(engine);
}

// Starts the engine; when it refuses, the logo covers the video window again.
void TPreviewPlayer::StartPlayback(MediaEngine &engine)
{
    try {
        engine.Play();
        IsPlaying = true;
        Display().SetLogoVisible(false);
    } catch (const std::exception &) {
        Display().SetLogoVisible(true);
    }
}

void TPreviewPlayer::ResumePlay()
{
    MediaEngine &engine = FilterGraph();
    if (!engine.Active())
        return;
    StartPlayback(engine);
}

void TPreviewPlayer::PausePlay()
{
    MediaEngine &engine = FilterGraph();
    if (!engine.Active())
        return;
    try {
        engine.Pause();
        IsPlaying = false;
        Display().SetLogoVisible(false);
    } catch (const std::exception &) {
        Display().SetLogoVisible(true);
    }
}

void TPreviewPlayer::StopPlay()
{
    MediaEngine &engine = FilterGraph();
    if (!engine.Active())
        return;
    IPreviewDisplay &display = Display();
    try {
        engine.Stop();
        engine.SetActive(false);
        engine.ClearGraph();
        m_previewFile->clear();
        display.SetTimeCaption(kZeroTime);
        IsPlaying = false;
    } catch (const std::exception &) {
    }
    display.SetLogoVisible(true);
    display.SetProgressPosition(0);
}

void TPreviewPlayer::dstrckbrMainformTimer(uint32_t currentMs, uint32_t durationMs)
{
    MediaEngine &engine = FilterGraph();
    IPreviewDisplay &display = Display();
    display.SetProgressRange(0, int(durationMs / 1000));
    display.SetProgressPosition(int(currentMs / 1000));

    const std::string caption = ElapsedCaption(engine.CurrentPosition() / 10000000);
    display.SetTimeCaption(caption);

    if (caption == Timeline.EndMarkText) {
        SeekTo(engine, 0);
        PausePlay();
    }
    if (currentMs >= durationMs) {
        SeekTo(engine, 0);
        StopPlay();
    }
}

void TPreviewPlayer::SeekTo(MediaEngine &engine, int64_t ms)
{
    engine.SeekTo(ms);
}

std::string TPreviewPlayer::ElapsedCaption(int64_t seconds)
{
    if (seconds < 0)
        seconds = 0;
    char text[32];
    std::snprintf(
        text, sizeof text, "%2.2lld:%2.2lld:%2.2lld", static_cast<long long>(seconds / 3600),
        static_cast<long long>(seconds % 3600 / 60), static_cast<long long>(seconds % 3600 % 60));
    return text;
}
