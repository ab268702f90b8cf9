#include "AmrNbEncoder.h"

#include "EncoderError.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavutil/channel_layout.h>
#include <opencore-amrnb/interf_enc.h>
}

namespace evc {
namespace {

const int64_t kModeBitRates[] = {4750, 5150, 5900, 6700, 7400, 7950, 10200, 12200};

} // namespace

AmrNbEncoder::AmrNbEncoder(int64_t bitRate) : m_mode(AmrModeOfBitrate(bitRate))
{
    m_state = Encoder_Interface_init(0);
    if (!m_state)
        throw EncoderError("cannot open the AMR-NB encoder");
}

AmrNbEncoder::~AmrNbEncoder()
{
    Encoder_Interface_exit(m_state);
}

int64_t AmrNbEncoder::BitRate() const
{
    return kModeBitRates[m_mode];
}

void AmrNbEncoder::FillParameters(AVCodecParameters *parameters) const
{
    parameters->codec_type = AVMEDIA_TYPE_AUDIO;
    parameters->codec_id = AV_CODEC_ID_AMR_NB;
    parameters->sample_rate = 8000;
    parameters->format = AV_SAMPLE_FMT_S16;
    parameters->bit_rate = BitRate();
    parameters->frame_size = kFrameSamples;
    av_channel_layout_uninit(&parameters->ch_layout);
    av_channel_layout_default(&parameters->ch_layout, 1);
}

void AmrNbEncoder::Send(const AVFrame *frame)
{
    if (!frame)
        return; // the encoder keeps no samples back
    if (frame->format != AV_SAMPLE_FMT_S16 || frame->nb_samples > kFrameSamples)
        throw EncoderError("internal error: unexpected frame for the AMR-NB encoder");
    // A short last frame is padded with silence.
    short speech[kFrameSamples] = {};
    std::memcpy(speech, frame->data[0], sizeof(short) * static_cast<size_t>(frame->nb_samples));
    unsigned char out[64];
    const int size = Encoder_Interface_Encode(m_state, static_cast<Mode>(m_mode), speech, out, 0);
    if (size <= 0)
        throw EncoderError("AMR-NB encoding failed");
    m_ready.push_back({std::vector<uint8_t>(out, out + size), frame->pts});
}

bool AmrNbEncoder::Receive(AVPacket *packet)
{
    if (m_ready.empty())
        return false;
    const EncodedFrame &encoded = m_ready.front();
    CheckAv(av_new_packet(packet, static_cast<int>(encoded.bytes.size())), "out of memory");
    std::copy(encoded.bytes.begin(), encoded.bytes.end(), packet->data);
    packet->pts = encoded.pts;
    packet->dts = encoded.pts;
    packet->duration = kFrameSamples;
    packet->time_base = AVRational{1, 8000};
    m_ready.pop_front();
    return true;
}

} // namespace evc
