#pragma once

#include "preview/MediaEngine.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tqtest {

// A media engine that records every call instead of playing; each operation can be told to fail,
// and the duration it reports is `durationMs`.
class RecordingMediaEngine : public MediaEngine
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

} // namespace tqtest
