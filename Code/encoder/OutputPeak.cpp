#include "OutputPeak.h"

#include "EncoderError.h"

#include <cmath>
#include <cstdint>

extern "C" {
#include <libavutil/samplefmt.h>
}

namespace evc {
namespace {

// Packets waiting for the check at most; a few seconds of audio for every codec.
constexpr size_t kMostQueuedPackets = 256;
// The check's thread wakes for this many packets at a time: a wake per packet would cost the
// encoding more in system calls and task switches than the decoding itself.
constexpr size_t kPacketsPerWake = 32;

template <typename Sample> double PeakOf(const uint8_t *data, int count, double fullScale)
{
    const auto *samples = reinterpret_cast<const Sample *>(data);
    double peak = 0.0;
    for (int i = 0; i < count; ++i) {
        const double value = std::fabs(static_cast<double>(samples[i])) / fullScale;
        if (value > peak) // a NaN never counts
            peak = value;
    }
    return peak;
}

double FramePeak(const AVFrame *frame)
{
    const auto format = static_cast<AVSampleFormat>(frame->format);
    const int channels = frame->ch_layout.nb_channels;
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    const int planes = planar ? channels : 1;
    const int count = planar ? frame->nb_samples : frame->nb_samples * channels;
    double peak = 0.0;
    for (int p = 0; p < planes; ++p) {
        const uint8_t *data = frame->extended_data[p];
        switch (av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_FLT:
            peak = std::fmax(peak, PeakOf<float>(data, count, 1.0));
            break;
        case AV_SAMPLE_FMT_DBL:
            peak = std::fmax(peak, PeakOf<double>(data, count, 1.0));
            break;
        case AV_SAMPLE_FMT_S16:
            peak = std::fmax(peak, PeakOf<int16_t>(data, count, 32768.0));
            break;
        case AV_SAMPLE_FMT_S32:
            peak = std::fmax(peak, PeakOf<int32_t>(data, count, 2147483648.0));
            break;
        default: // no decoder of the output types gives other formats
            break;
        }
    }
    return peak;
}

} // namespace

DecodedPeakCheck::DecodedPeakCheck(const AVCodecParameters *parameters) : m_frame(NewFrame())
{
    const AVCodec *decoder = avcodec_find_decoder(parameters->codec_id);
    if (!decoder)
        throw EncoderError(std::string("there is no decoder for ") +
                           avcodec_get_name(parameters->codec_id));
    m_decoder.reset(avcodec_alloc_context3(decoder));
    if (!m_decoder)
        throw EncoderError("out of memory");
    CheckAv(avcodec_parameters_to_context(m_decoder.get(), parameters),
            "cannot set up the decoder of the output");
    m_decoder->thread_count = 1;
    CheckAv(avcodec_open2(m_decoder.get(), decoder, nullptr),
            std::string("cannot open the ") + decoder->name + " decoder");
    m_thread = std::thread([this] { Run(); });
}

DecodedPeakCheck::~DecodedPeakCheck()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ended = true;
        m_failed = true; // whatever is still queued is of no use any more
        m_queue.clear();
    }
    m_packetsReady.notify_all();
    m_roomFreed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void DecodedPeakCheck::Feed(const AVPacket *packet)
{
    PacketPtr copy = NewPacket();
    CheckAv(av_packet_ref(copy.get(), packet), "out of memory");
    std::unique_lock<std::mutex> lock(m_mutex);
    m_roomFreed.wait(lock, [this] { return m_failed || m_queue.size() < kMostQueuedPackets; });
    if (m_failed)
        return;
    m_queue.push_back(std::move(copy));
    const bool batchReady = m_queue.size() == kPacketsPerWake;
    lock.unlock();
    if (batchReady)
        m_packetsReady.notify_one();
}

std::optional<double> DecodedPeakCheck::Finish(std::string *error)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ended = true;
    }
    m_packetsReady.notify_one();
    m_thread.join();
    if (m_failed) {
        *error = m_error;
        return std::nullopt;
    }
    return m_peak.load();
}

void DecodedPeakCheck::Run()
{
    for (;;) {
        std::deque<PacketPtr> batch;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_packetsReady.wait(lock,
                                [this] { return m_ended || m_queue.size() >= kPacketsPerWake; });
            if (m_failed)
                return;
            if (m_queue.empty())
                break; // ended, and all is decoded
            batch.swap(m_queue);
        }
        m_roomFreed.notify_one();
        for (const PacketPtr &packet : batch) {
            if (!Decode(packet.get()))
                return;
        }
    }
    Decode(nullptr); // the decoder's last frames
}

// Returns false once the packets cannot be decoded.
bool DecodedPeakCheck::Decode(const AVPacket *packet)
{
    int sent = avcodec_send_packet(m_decoder.get(), packet);
    for (;;) {
        const int received = avcodec_receive_frame(m_decoder.get(), m_frame.get());
        if (received == AVERROR(EAGAIN) && sent == AVERROR(EAGAIN)) {
            // The decoder had frames to give before taking the packet; it has given them.
            sent = avcodec_send_packet(m_decoder.get(), packet);
            continue;
        }
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            break;
        if (received < 0) {
            Fail("the output cannot be decoded: " + AvErrorText(received));
            return false;
        }
        const double peak = FramePeak(m_frame.get());
        if (peak > m_peak.load(std::memory_order_relaxed))
            m_peak.store(peak, std::memory_order_relaxed);
        av_frame_unref(m_frame.get());
    }
    if (sent < 0 && sent != AVERROR_EOF) {
        Fail("the output cannot be decoded: " + AvErrorText(sent));
        return false;
    }
    return true;
}

void DecodedPeakCheck::Fail(const std::string &reason)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_failed)
            return;
        m_failed = true;
        m_error = reason;
        m_queue.clear();
    }
    m_roomFreed.notify_all();
}

} // namespace evc
