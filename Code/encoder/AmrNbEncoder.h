#pragma once

#include "AudioEncoder.h"

#include <deque>
#include <vector>

namespace evc {

// AMR-NB through opencore's encoder interface: 160 samples of 16-bit mono at 8000 Hz make one
// 20 ms frame in the storage format of .amr files (mode byte, then the speech bits).
class AmrNbEncoder : public AudioEncoder
{
public:
    explicit AmrNbEncoder(int64_t bitRate);
    ~AmrNbEncoder() override;
    AmrNbEncoder(const AmrNbEncoder &) = delete;
    AmrNbEncoder &operator=(const AmrNbEncoder &) = delete;

    static constexpr int kFrameSamples = 160;

    std::string Name() const override { return "libopencore-amrnb"; }
    int FrameSize() const override { return kFrameSamples; }
    AVSampleFormat SampleFormat() const override { return AV_SAMPLE_FMT_S16; }
    int SampleRate() const override { return 8000; }
    int Channels() const override { return 1; }
    int64_t BitRate() const override;
    void FillParameters(AVCodecParameters *parameters) const override;
    void Send(const AVFrame *frame) override;
    bool Receive(AVPacket *packet) override;

private:
    struct EncodedFrame
    {
        std::vector<uint8_t> bytes;
        int64_t pts = 0;
    };

    void *m_state = nullptr;
    int m_mode = 7;
    std::deque<EncodedFrame> m_ready;
};

} // namespace evc
