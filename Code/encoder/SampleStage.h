#pragma once

#include "AvResources.h"
#include "PeakLimiter.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace evc {

// Turns decoded frames of any layout into the encoder's frames: resamples to the output rate and
// channel count as planar float, applies the volume gain, collects the samples in a FIFO and hands
// them out in the encoder's frame size and sample format. A gain above 1 goes through the peak
// limiter; a gain of 1 or less is a plain multiplication.
class SampleStage
{
public:
    // `frameSize` 0 means any size; `maxSamples` < 0 means no limit on the samples passed on;
    // `ceilingDb` is the limiter's ceiling when `gain` is above 1.
    SampleStage(int sampleRate, int channels, AVSampleFormat encoderFormat, int frameSize,
                double gain, int64_t maxSamples, double ceilingDb = -1.05);

    // Takes the frame's samples from `firstSample` on.
    void Push(const AVFrame *frame, int firstSample);
    // Flushes the resampler; afterwards Pull hands out the rest, the last frame possibly shorter.
    void Finish();
    // Fills `frame` with the next encoder frame (pts = samples before it); false when the FIFO
    // holds less than a frame (before Finish) or nothing (after it).
    bool Pull(AVFrame *frame);

    bool LimitReached() const { return m_maxSamples >= 0 && m_samplesIn >= m_maxSamples; }
    // How far the limiter held the loudest peak below where the gain would have put it, in dB.
    double PeaksHeldDb() const { return m_limiter ? m_limiter->PeaksHeldDb() : 0.0; }

private:
    void ConfigureResampler(const AVFrame *frame);
    void Convert(const uint8_t *const *input, int count);
    void Store(float *const *planes, int count);
    void WriteToFifo(float *const *planes, int count);

    int m_sampleRate;
    AVChannelLayout m_layout{};
    AVSampleFormat m_encoderFormat;
    int m_frameSize;
    float m_gain;
    std::unique_ptr<PeakLimiter> m_limiter;
    int64_t m_maxSamples;

    ResamplerPtr m_resampler;
    int m_inRate = 0;
    AVSampleFormat m_inFormat = AV_SAMPLE_FMT_NONE;
    AVChannelLayout m_inLayout{};

    ResamplerPtr m_formatConverter; // planar float -> encoder format, when they differ
    AudioFifoPtr m_fifo;
    std::vector<std::vector<float>> m_planes;
    FramePtr m_floatFrame;
    int64_t m_samplesIn = 0;  // samples put into the FIFO
    int64_t m_samplesOut = 0; // samples handed to the encoder
    bool m_finished = false;

public:
    ~SampleStage();
    SampleStage(const SampleStage &) = delete;
    SampleStage &operator=(const SampleStage &) = delete;
};

// Applies `gain` to the samples, limits them to full scale and returns how many were limited.
// NaNs become silence.
int64_t ApplyGain(float *samples, int count, float gain);

} // namespace evc
