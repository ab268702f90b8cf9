#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

// Raised by a media engine when a file cannot be opened or rendered, or when a playback request
// fails. The text says why, for the log.
class EMediaEngineError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A playback graph holding one file, with a position timer. Times are milliseconds unless stated;
// CurrentPosition is in 100-ns units. Apart from SetActive and Active, operations act only while
// the engine is active: inactive, RenderFile, Play, Pause and Stop raise, the readers return 0
// and ClearGraph and SeekTo do nothing.
class MediaEngine
{
public:
    // Current position and duration in milliseconds, called every TimerIntervalMs while playing.
    using TimerCallback = std::function<void(uint32_t currentMs, uint32_t durationMs)>;
    static constexpr int TimerIntervalMs = 1000;

    virtual ~MediaEngine() = default;

    virtual bool Active() const = 0;
    // true builds an empty graph; false stops playback and discards the graph.
    virtual void SetActive(bool active) = 0;
    // Stops playback and removes the loaded media; the engine stays active.
    virtual void ClearGraph() = 0;
    // 0 when every stream of the file can be rendered, otherwise the number of streams left
    // unrendered. Raises EMediaEngineError when the file cannot be opened.
    virtual int RenderFile(const std::string &path) = 0;
    // Play starts the position timer, Pause and Stop halt it. Raise EMediaEngineError on failure.
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    // Whole milliseconds of the loaded media.
    virtual int64_t DurationMs() const = 0;
    // Whether the loaded media holds a sound stream; an engine that cannot tell says it does.
    virtual bool HoldsAudio() const { return true; }
    // 100-ns units.
    virtual int64_t CurrentPosition() const = 0;
    // Absolute position := ms; the stop position stays as it is.
    virtual void SeekTo(int64_t ms) = 0;
    virtual void SetTimerCallback(TimerCallback callback) = 0;
};
