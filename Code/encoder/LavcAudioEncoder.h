#pragma once

#include "AudioEncoder.h"

namespace evc {

// An encoder of libavcodec (aac, libmp3lame, ac3, libvorbis, pcm_s16le).
class LavcAudioEncoder : public AudioEncoder
{
public:
    LavcAudioEncoder(const std::string &encoderName, const AudioSettings &settings,
                     bool globalHeader);

    std::string Name() const override { return m_context->codec->name; }
    int FrameSize() const override;
    AVSampleFormat SampleFormat() const override { return m_context->sample_fmt; }
    int SampleRate() const override { return m_context->sample_rate; }
    int Channels() const override { return m_context->ch_layout.nb_channels; }
    int64_t BitRate() const override { return m_context->bit_rate; }
    void FillParameters(AVCodecParameters *parameters) const override;
    void Send(const AVFrame *frame) override;
    bool Receive(AVPacket *packet) override;

private:
    CodecContextPtr m_context;
    bool m_flushed = false;
};

} // namespace evc
