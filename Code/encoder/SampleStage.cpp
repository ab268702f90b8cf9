#include "SampleStage.h"

#include "EncoderError.h"

#include <algorithm>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace evc {

int64_t ApplyGain(float *samples, int count, float gain)
{
    int64_t clipped = 0;
    for (int i = 0; i < count; ++i) {
        float value = samples[i] * gain;
        if (value > 1.0f) {
            value = 1.0f;
            ++clipped;
        } else if (value < -1.0f) {
            value = -1.0f;
            ++clipped;
        } else if (value != value) {
            value = 0.0f; // a NaN from a damaged float source becomes silence
        }
        samples[i] = value;
    }
    return clipped;
}

SampleStage::SampleStage(int sampleRate, int channels, AVSampleFormat encoderFormat, int frameSize,
                         double gain, int64_t maxSamples, double ceilingDb)
    : m_sampleRate(sampleRate), m_encoderFormat(encoderFormat), m_frameSize(frameSize),
      m_gain(static_cast<float>(gain)), m_maxSamples(maxSamples)
{
    av_channel_layout_default(&m_layout, channels);
    m_fifo.reset(av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, channels, std::max(frameSize, 1024)));
    if (!m_fifo)
        throw EncoderError("out of memory");
    if (gain > 1.0)
        m_limiter = std::make_unique<PeakLimiter>(sampleRate, channels, gain, ceilingDb);
    m_planes.resize(static_cast<size_t>(channels));
    m_floatFrame = NewFrame();
    if (encoderFormat != AV_SAMPLE_FMT_FLTP) {
        SwrContext *converter = nullptr;
        CheckAv(swr_alloc_set_opts2(&converter, &m_layout, encoderFormat, sampleRate, &m_layout,
                                    AV_SAMPLE_FMT_FLTP, sampleRate, 0, nullptr),
                "cannot set up the sample conversion");
        m_formatConverter.reset(converter);
        CheckAv(swr_init(m_formatConverter.get()), "cannot set up the sample conversion");
    }
}

SampleStage::~SampleStage()
{
    av_channel_layout_uninit(&m_layout);
    av_channel_layout_uninit(&m_inLayout);
}

void SampleStage::ConfigureResampler(const AVFrame *frame)
{
    AVChannelLayout inLayout{};
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&inLayout, frame->ch_layout.nb_channels);
    else
        CheckAv(av_channel_layout_copy(&inLayout, &frame->ch_layout), "out of memory");
    const auto format = static_cast<AVSampleFormat>(frame->format);
    if (m_resampler && frame->sample_rate == m_inRate && format == m_inFormat &&
        av_channel_layout_compare(&inLayout, &m_inLayout) == 0) {
        av_channel_layout_uninit(&inLayout);
        return;
    }
    // The source changed its layout in the middle: pass on what the old resampler holds.
    if (m_resampler)
        Convert(nullptr, 0);

    SwrContext *resampler = nullptr;
    const int result = swr_alloc_set_opts2(&resampler, &m_layout, AV_SAMPLE_FMT_FLTP, m_sampleRate,
                                           &inLayout, format, frame->sample_rate, 0, nullptr);
    ResamplerPtr owned(resampler);
    // Stereo folded into mono is the mean of the two channels. The resampler's float mix adds
    // them at 0.71 each, which takes loud stereo music 3 dB over full scale. Larger layouts keep
    // the usual downmix levels, where dialogue in the centre stays at a useful level.
    if (result >= 0 && inLayout.nb_channels == 2 && m_layout.nb_channels == 1)
        av_opt_set_double(resampler, "rematrix_maxval", 1.0, 0);
    if (result < 0 || swr_init(owned.get()) < 0) {
        av_channel_layout_uninit(&inLayout);
        throw EncoderError("cannot resample the audio of the input (" +
                           std::to_string(frame->ch_layout.nb_channels) + " channels, " +
                           std::to_string(frame->sample_rate) + " Hz)");
    }
    m_resampler = std::move(owned);
    m_inRate = frame->sample_rate;
    m_inFormat = format;
    av_channel_layout_uninit(&m_inLayout);
    m_inLayout = inLayout;
}

void SampleStage::Push(const AVFrame *frame, int firstSample)
{
    if (LimitReached() || firstSample >= frame->nb_samples)
        return;
    ConfigureResampler(frame);
    const auto format = static_cast<AVSampleFormat>(frame->format);
    const int bytesPerSample = av_get_bytes_per_sample(format);
    const int channels = frame->ch_layout.nb_channels;
    std::vector<const uint8_t *> input(static_cast<size_t>(channels));
    for (int c = 0; c < channels; ++c) {
        if (av_sample_fmt_is_planar(format))
            input[static_cast<size_t>(c)] =
                frame->extended_data[c] + static_cast<ptrdiff_t>(firstSample) * bytesPerSample;
        else
            input[static_cast<size_t>(c)] =
                frame->extended_data[0] +
                static_cast<ptrdiff_t>(firstSample) * bytesPerSample * channels;
    }
    Convert(input.data(), frame->nb_samples - firstSample);
}

void SampleStage::Convert(const uint8_t *const *input, int count)
{
    if (!m_resampler)
        return;
    const int room = swr_get_out_samples(m_resampler.get(), count);
    if (room < 0)
        throw EncoderError("resampling failed");
    if (room == 0)
        return;
    std::vector<float *> planes(m_planes.size());
    for (size_t c = 0; c < m_planes.size(); ++c) {
        if (m_planes[c].size() < static_cast<size_t>(room))
            m_planes[c].resize(static_cast<size_t>(room));
        planes[c] = m_planes[c].data();
    }
    const int produced = swr_convert(m_resampler.get(), reinterpret_cast<uint8_t **>(planes.data()),
                                     room, const_cast<const uint8_t **>(input), count);
    if (produced < 0)
        throw EncoderError("resampling failed: " + AvErrorText(produced));
    Store(planes.data(), produced);
}

void SampleStage::Store(float *const *planes, int count)
{
    if (m_maxSamples >= 0)
        count = static_cast<int>(std::min<int64_t>(count, m_maxSamples - m_samplesIn));
    if (count <= 0)
        return;
    m_samplesIn += count;
    if (m_limiter) {
        m_limiter->Push(planes, count,
                        [this](float *const *limited, int n) { WriteToFifo(limited, n); });
        return;
    }
    for (size_t c = 0; c < m_planes.size(); ++c)
        ApplyGain(planes[c], count, m_gain);
    WriteToFifo(planes, count);
}

void SampleStage::WriteToFifo(float *const *planes, int count)
{
    if (av_audio_fifo_write(m_fifo.get(), reinterpret_cast<void **>(const_cast<float **>(planes)),
                            count) < count)
        throw EncoderError("out of memory");
}

void SampleStage::Finish()
{
    if (m_finished)
        return;
    Convert(nullptr, 0);
    if (m_limiter)
        m_limiter->Finish([this](float *const *limited, int n) { WriteToFifo(limited, n); });
    m_finished = true;
}

bool SampleStage::Pull(AVFrame *frame)
{
    const int available = av_audio_fifo_size(m_fifo.get());
    const int wanted = m_frameSize > 0 ? m_frameSize : std::min(available, 4096);
    int count = wanted;
    if (available < wanted) {
        if (!m_finished || available == 0)
            return false;
        count = available;
    }
    if (count <= 0)
        return false;

    av_frame_unref(m_floatFrame.get());
    m_floatFrame->format = AV_SAMPLE_FMT_FLTP;
    m_floatFrame->nb_samples = count;
    m_floatFrame->sample_rate = m_sampleRate;
    CheckAv(av_channel_layout_copy(&m_floatFrame->ch_layout, &m_layout), "out of memory");
    CheckAv(av_frame_get_buffer(m_floatFrame.get(), 0), "out of memory");
    if (av_audio_fifo_read(m_fifo.get(), reinterpret_cast<void **>(m_floatFrame->extended_data),
                           count) < count)
        throw EncoderError("internal error: sample buffer underrun");

    av_frame_unref(frame);
    if (!m_formatConverter) {
        av_frame_move_ref(frame, m_floatFrame.get());
    } else {
        frame->format = m_encoderFormat;
        frame->nb_samples = count;
        frame->sample_rate = m_sampleRate;
        CheckAv(av_channel_layout_copy(&frame->ch_layout, &m_layout), "out of memory");
        CheckAv(av_frame_get_buffer(frame, 0), "out of memory");
        const int converted =
            swr_convert(m_formatConverter.get(), frame->extended_data, count,
                        const_cast<const uint8_t **>(m_floatFrame->extended_data), count);
        if (converted != count)
            throw EncoderError("sample conversion failed");
    }
    frame->pts = m_samplesOut;
    m_samplesOut += count;
    return true;
}

} // namespace evc
