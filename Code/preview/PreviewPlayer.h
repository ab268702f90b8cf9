#pragma once

#include "preview/TimelineState.h"

#include <cstdint>
#include <functional>
#include <string>

class IPreviewDisplay;
class MediaEngine;

// Plays a job's source file in the preview pane on the main window's engine: loading, start,
// resume, pause and stop, and the once-a-second tick that updates the displays, pauses at the
// end marker and stops at the end of the file.
class TPreviewPlayer
{
public:
    using LogWriter = std::function<void(const std::string &message)>;

    static constexpr const char *PlayErrorText = "Playing Video error.";

    // The player works once bound to its engine, displays, the loaded-file name (held by the
    // caller) and the log; the tick is connected to the engine's timer here.
    void BindPreview(MediaEngine &engine, IPreviewDisplay &display, std::string &previewFile,
                     LogWriter writeLog);
    bool IsBound() const { return m_engine != nullptr; }

    void PlayFile(const std::string &path);
    void ResumePlay();
    void PausePlay();
    void StopPlay();
    // The position tick: current position and duration of the loaded media in milliseconds.
    void dstrckbrMainformTimer(uint32_t currentMs, uint32_t durationMs);

    // Absolute position of `engine` := ms.
    static void SeekTo(MediaEngine &engine, int64_t ms);
    // "hh:mm:ss" of whole seconds, hours with at least two digits.
    static std::string ElapsedCaption(int64_t seconds);

    MediaEngine &FilterGraph() const;
    const std::string &PreviewFile() const;

    bool IsPlaying = false;
    TTimelineState Timeline;

private:
    void StartPlayback(MediaEngine &engine);
    IPreviewDisplay &Display() const;

    MediaEngine *m_engine = nullptr;
    IPreviewDisplay *m_display = nullptr;
    std::string *m_previewFile = nullptr;
    LogWriter m_writeLog;
};
