#pragma once

#include "preview/MediaEngine.h"

#include <memory>

struct AVFormatContext;

// A media engine that only reads: RenderFile opens the file with libavformat and reads its
// stream information, DurationMs reports the length of the media really in the file: of the
// audio where there is audio, as a decoder plays it (encoder priming and padding left out). Where
// the headers fit the file (an MP3 frame count matching its bytes, a constant bitrate, an MP4
// index inside the file, an Ogg file's last whole page) only they and the file's ends are read;
// otherwise the packets are, since headers may lie or only estimate. It plays nothing. Inputs are
// read through the "file" protocol only and only by media demuxers, so a playlist or a
// concatenation list disguised as a media file is refused instead of opening other files.
class TAvProbeEngine : public MediaEngine
{
public:
    TAvProbeEngine();
    ~TAvProbeEngine() override;

    bool Active() const override { return m_active; }
    void SetActive(bool active) override;
    void ClearGraph() override;
    int RenderFile(const std::string &path) override;
    void Play() override;
    void Pause() override;
    void Stop() override;
    int64_t DurationMs() const override;
    bool HoldsAudio() const override { return m_active && m_loaded && m_holdsAudio; }
    int64_t CurrentPosition() const override { return 0; }
    void SeekTo(int64_t) override {}
    void SetTimerCallback(TimerCallback) override {}

    // The demuxers a source file may be read with (libavformat names, comma-separated).
    static const char *MediaDemuxers();
    // The number of audio and video streams of `path` that have no decoder. Raises
    // EMediaEngineError when the file cannot be opened or read as media.
    static int CountStreamsWithoutDecoder(const std::string &path);

private:
    struct InputDeleter
    {
        void operator()(AVFormatContext *context) const;
    };
    using InputPtr = std::unique_ptr<AVFormatContext, InputDeleter>;

    static InputPtr OpenInput(const std::string &path);
    static int CountUndecodable(const AVFormatContext &input);
    // The length of the media really in `path`, opened as `input`; reads packets, so `input`
    // is used up.
    static int64_t ReadDurationMs(const std::string &path, AVFormatContext &input);
    // The length of stream `measured` from its packets: all of them, or the last ones of a
    // large file whose header gives a length.
    static int64_t ReadPacketsMs(const std::string &path, AVFormatContext &input, int measured);
    void RequireActive(const char *operation) const;

    bool m_active = false;
    bool m_loaded = false;
    int64_t m_durationMs = 0;
    bool m_holdsAudio = false;
};
