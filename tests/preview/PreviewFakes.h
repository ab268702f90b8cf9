#pragma once

#include "MemoryJobRows.h"
#include "preview/MediaEngine.h"
#include "preview/PreviewDisplay.h"
#include "preview/PreviewEvents.h"
#include "preview/PreviewPlayer.h"
#include "preview/SegmentSelection.h"
#include "preview/TimelineGeometry.h"

#include <string>
#include <vector>

// Records every call; each operation can be told to fail.
class TRecordingEngine : public MediaEngine
{
public:
    bool Active() const override { return active; }
    void SetActive(bool value) override
    {
        calls.push_back(value ? "Active:=true" : "Active:=false");
        active = value;
    }
    void ClearGraph() override { calls.push_back("ClearGraph"); }
    int RenderFile(const std::string &path) override
    {
        calls.push_back("RenderFile " + path);
        if (renderThrows)
            throw EMediaEngineError("cannot render");
        return renderResult;
    }
    void Play() override { Record("Play", playThrows); }
    void Pause() override { Record("Pause", pauseThrows); }
    void Stop() override { Record("Stop", stopThrows); }
    int64_t DurationMs() const override { return durationMs; }
    int64_t CurrentPosition() const override { return position; }
    void SeekTo(int64_t ms) override
    {
        calls.push_back("SeekTo " + std::to_string(ms));
        if (seekThrows)
            throw EMediaEngineError("cannot seek");
    }
    void SetTimerCallback(TimerCallback callback) override { timer = std::move(callback); }

    bool active = false;
    bool renderThrows = false, playThrows = false, pauseThrows = false, stopThrows = false;
    bool seekThrows = false;
    int renderResult = 0;
    int64_t durationMs = 0;
    int64_t position = 0; // 100-ns units
    TimerCallback timer;
    std::vector<std::string> calls;

private:
    void Record(const char *name, bool fail)
    {
        calls.push_back(name);
        if (fail)
            throw EMediaEngineError(std::string(name) + " failed");
    }
};

class TRecordingDisplay : public IPreviewDisplay
{
public:
    void SetLogoVisible(bool visible) override { logo = visible; }
    void SetTimeCaption(const std::string &text) override { caption = text; }
    void SetProgressRange(int min, int max) override
    {
        minimum = min;
        maximum = max;
    }
    void SetProgressPosition(int value) override { position = value; }

    bool logo = true;
    std::string caption = "00:00:00";
    int minimum = 0, maximum = 100, position = 0;
};

// A preview player bound to the recording engine and display, the segment selection and the
// list events over it, and the job rows they read. Log lines of the player are kept in `log`.
struct PreviewRig
{
    PreviewRig()
    {
        player.BindPreview(engine, display, previewFile,
                           [this](const std::string &line) { log.push_back(line); });
    }

    TRecordingEngine engine;
    TRecordingDisplay display;
    std::string previewFile;
    std::vector<std::string> log;
    TPreviewPlayer player;
    TTimelineGeometry geometry;
    TSegmentSelection segments{player, geometry};
    TPreviewEvents events{player, segments, geometry};
    tqtest::MemoryJobRows rows;
};
