#include "LavcAudioEncoder.h"

#include "EncoderError.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
}

namespace evc {
namespace {

// Planar float where the encoder takes it (no conversion loss), else its first format.
AVSampleFormat ChooseSampleFormat(const AVCodec *codec)
{
    if (!codec->sample_fmts)
        return AV_SAMPLE_FMT_S16;
    for (const AVSampleFormat *format = codec->sample_fmts; *format != AV_SAMPLE_FMT_NONE;
         ++format) {
        if (*format == AV_SAMPLE_FMT_FLTP)
            return *format;
    }
    return codec->sample_fmts[0];
}

} // namespace

LavcAudioEncoder::LavcAudioEncoder(const std::string &encoderName, const AudioSettings &settings,
                                   bool globalHeader)
{
    const AVCodec *codec = avcodec_find_encoder_by_name(encoderName.c_str());
    if (!codec)
        throw EncoderError("the " + encoderName + " encoder is not available");
    m_context.reset(avcodec_alloc_context3(codec));
    if (!m_context)
        throw EncoderError("out of memory");
    m_context->sample_rate = settings.sampleRate;
    m_context->time_base = AVRational{1, settings.sampleRate};
    av_channel_layout_default(&m_context->ch_layout, settings.channels);
    m_context->sample_fmt = ChooseSampleFormat(codec);
    m_context->bit_rate = settings.bitRate;
    m_context->thread_count = 1;
    if (globalHeader)
        m_context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary *options = nullptr;
    // The AAC encoder's temporal noise shaping now and then throws a burst of noise several dB
    // above the music (a click on loud passages); without it the noise stays near the signal.
    if (encoderName == "aac")
        av_dict_set(&options, "aac_tns", "0", 0);
    const int opened = avcodec_open2(m_context.get(), codec, &options);
    av_dict_free(&options);
    CheckAv(opened, "cannot open the " + encoderName + " encoder with " +
                        std::to_string(settings.sampleRate) + " Hz, " +
                        std::to_string(settings.channels) + " channels, " +
                        std::to_string(settings.bitRate / 1000) + " kbit/s");
}

int LavcAudioEncoder::FrameSize() const
{
    if (m_context->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE)
        return 0;
    return m_context->frame_size;
}

void LavcAudioEncoder::FillParameters(AVCodecParameters *parameters) const
{
    CheckAv(avcodec_parameters_from_context(parameters, m_context.get()),
            "cannot describe the output stream");
}

void LavcAudioEncoder::Send(const AVFrame *frame)
{
    if (m_flushed)
        return;
    m_flushed = frame == nullptr;
    CheckAv(avcodec_send_frame(m_context.get(), frame), "encoding failed");
}

bool LavcAudioEncoder::Receive(AVPacket *packet)
{
    const int result = avcodec_receive_packet(m_context.get(), packet);
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
        return false;
    CheckAv(result, "encoding failed");
    return true;
}

} // namespace evc
