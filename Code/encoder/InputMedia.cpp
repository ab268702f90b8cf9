#include "InputMedia.h"

#include "AmrFrames.h"
#include "EncoderError.h"
#include "ProtectedMedia.h"
#include "support/MediaDemuxers.h"
#include "support/PlaybackClock.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

namespace evc {
namespace {

// A search by time that lands after the time sought is tried again this much further back
// (seconds), before decoding starts from the beginning.
constexpr double kSeekRetreats[] = {0.0, 10.0, 60.0};
// Where timestamps may start again, the landing is believed only when they rise at this many
// evenly spaced points through the file.
constexpr int kRisingChecks = 16;
// How far past a byte position the first timed audio packet is looked for.
constexpr int64_t kTimestampSearchBytes = 4 << 20;
constexpr int kTimestampSearchPackets = 4096;

std::string FormatNameList(const AVInputFormat *format)
{
    return format ? format->name : "?";
}

} // namespace

const char *MediaDemuxerWhitelist()
{
    return kMediaDemuxers;
}

InputMedia::InputMedia(const std::string &path) : m_path(path)
{
    Open();
    m_packet = NewPacket();
    m_amrPacket = NewPacket();
}

void InputMedia::Open()
{
    const std::string &path = m_path;
    AVDictionary *rawOptions = nullptr;
    av_dict_set(&rawOptions, "protocol_whitelist", "file", 0);
    av_dict_set(&rawOptions, "format_whitelist", MediaDemuxerWhitelist(), 0);
    std::unique_ptr<AVDictionary, DictionaryDeleter> options(rawOptions);

    // A pipe would block the opening until someone writes to it, and a device such as
    // /dev/zero never ends: only regular files are read (a folder is refused by the opening).
    std::error_code statusError;
    const auto status = std::filesystem::status(path, statusError);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
        !std::filesystem::is_directory(status))
        throw EncoderError("cannot open \"" + path + "\": not a regular file");

    // The "file:" prefix makes a name such as "concat:a|b" an ordinary file name.
    const std::string url = "file:" + path;
    AVFormatContext *opened = nullptr;
    AVDictionary *optionsInOut = options.release();
    const int result = avformat_open_input(&opened, url.c_str(), nullptr, &optionsInOut);
    options.reset(optionsInOut);
    if (result < 0) {
        if (result == AVERROR(EINVAL) || result == AVERROR_INVALIDDATA)
            throw EncoderError("\"" + path + "\" is not a media file that evc can read");
        throw EncoderError("cannot open \"" + path + "\": " + AvErrorText(result));
    }
    m_format.reset(opened);

    CheckAv(avformat_find_stream_info(m_format.get(), nullptr),
            "cannot read the streams of \"" + path + "\"");
    if (DeclaresRightsProtection(m_format.get(), path))
        throw EncoderError("the audio of \"" + path +
                           "\" is protected by digital rights management and cannot be decoded");
    const AVCodec *decoder = nullptr;
    m_audioIndex = av_find_best_stream(m_format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (m_audioIndex == AVERROR_STREAM_NOT_FOUND)
        throw EncoderError("\"" + path + "\" has no audio stream");
    if (m_audioIndex < 0 || !decoder)
        throw EncoderError("\"" + path + "\" has no audio stream that evc can decode (" +
                           FormatNameList(m_format->iformat) + ")");

    // Only the audio stream is demuxed further.
    for (unsigned i = 0; i < m_format->nb_streams; ++i) {
        if (static_cast<int>(i) != m_audioIndex)
            m_format->streams[i]->discard = AVDISCARD_ALL;
    }

    m_decoder.reset(avcodec_alloc_context3(decoder));
    if (!m_decoder)
        throw EncoderError("out of memory");
    CheckAv(
        avcodec_parameters_to_context(m_decoder.get(), m_format->streams[m_audioIndex]->codecpar),
        "cannot set up the audio decoder");
    m_decoder->pkt_timebase = m_format->streams[m_audioIndex]->time_base;
    m_decoder->thread_count = 1;
    CheckAv(avcodec_open2(m_decoder.get(), decoder, nullptr),
            std::string("cannot open the ") + decoder->name + " decoder");
    if (m_decoder->sample_rate <= 0 || m_decoder->ch_layout.nb_channels <= 0)
        throw EncoderError("the audio stream of \"" + path +
                           "\" has no valid sample rate or channel count");

    m_originMicroseconds = playbackclock::PlaybackOriginMicroseconds(*m_format);
    const AVStream *audio = AudioStream();
    m_resumeSeconds =
        audio->start_time == AV_NOPTS_VALUE
            ? 0.0
            : std::max(SecondsOf(av_rescale_q(audio->start_time, audio->time_base, AV_TIME_BASE_Q)),
                       0.0);
}

void InputMedia::Rewind()
{
    m_decoder.reset();
    m_format.reset();
    Open();
    ResetDecoding();
}

void InputMedia::ResetDecoding()
{
    avcodec_flush_buffers(m_decoder.get());
    av_packet_unref(m_packet.get());
    av_packet_unref(m_amrPacket.get());
    m_packetPending = false;
    m_draining = false;
    m_amrOffset = 0;
    m_silentSamples = 0;
}

double InputMedia::SecondsOf(int64_t timestamp) const
{
    return static_cast<double>(timestamp - m_originMicroseconds) / AV_TIME_BASE;
}

bool InputMedia::SeekToTime(double seconds)
{
    const int64_t target = m_originMicroseconds + static_cast<int64_t>(seconds * AV_TIME_BASE);
    if (avformat_seek_file(m_format.get(), -1, INT64_MIN, target, target, 0) < 0)
        return false;
    ResetDecoding();
    return true;
}

std::optional<InputMedia::Landing> InputMedia::PeekLanding()
{
    // Packets without a time before the first timed one lie before the landing's time, which is
    // at least a pre-roll before the segment: they are not needed.
    while (ReadAudioPacket()) {
        if (m_packet->pts != AV_NOPTS_VALUE) {
            m_packetPending = true;
            return Landing{m_packet->pos,
                           av_rescale_q(m_packet->pts, AudioStream()->time_base, AV_TIME_BASE_Q)};
        }
        av_packet_unref(m_packet.get());
    }
    return std::nullopt;
}

std::optional<int64_t> InputMedia::TimestampAtByte(int64_t position)
{
    if (avformat_seek_file(m_format.get(), -1, position, position, position, AVSEEK_FLAG_BYTE) < 0)
        return std::nullopt;
    PacketPtr packet = NewPacket();
    for (int read = 0;
         read < kTimestampSearchPackets && av_read_frame(m_format.get(), packet.get()) >= 0;
         ++read) {
        const bool timedAudio =
            packet->stream_index == m_audioIndex && packet->pts != AV_NOPTS_VALUE;
        // A packet that began before the position is what the demuxer still held from before.
        const int64_t at = packet->pos;
        const int64_t pts = packet->pts;
        av_packet_unref(packet.get());
        if (at >= 0 && at > position + kTimestampSearchBytes)
            break;
        if (timedAudio && at >= position)
            return av_rescale_q(pts, AudioStream()->time_base, AV_TIME_BASE_Q);
    }
    return std::nullopt;
}

bool InputMedia::TimestampsRiseThroughout(const Landing &landing)
{
    const int64_t size = avio_size(m_format->pb);
    if (landing.position < 0 || size <= 0 || (m_format->iformat->flags & AVFMT_NO_BYTE_SEEK))
        return false;
    // Evenly spaced points, the landing among them, and the file's last stretch, where a
    // short last link of a chain would begin.
    std::vector<std::pair<int64_t, int64_t>> points;
    points.emplace_back(landing.position, landing.timestamp);
    std::vector<int64_t> positions;
    for (int i = 0; i < kRisingChecks; ++i)
        positions.push_back(size / kRisingChecks * i);
    positions.push_back(std::max<int64_t>(size - kTimestampSearchBytes / 4, 0));
    // A stretch without timed audio is not believed either: after a search, the Ogg demuxer
    // reads nothing of a chain's later links.
    for (const int64_t position : positions) {
        const std::optional<int64_t> timestamp = TimestampAtByte(position);
        if (!timestamp)
            return false;
        points.emplace_back(position, *timestamp);
    }
    std::sort(points.begin(), points.end());
    for (size_t i = 1; i < points.size(); ++i) {
        if (points[i].second < points[i - 1].second)
            return false;
    }
    return true;
}

void InputMedia::SeekBefore(double seconds)
{
    for (const double retreat : kSeekRetreats) {
        const double target = seconds - retreat;
        if (target <= 0 || !SeekToTime(target))
            break;
        const std::optional<Landing> landing = PeekLanding();
        if (!landing || SecondsOf(landing->timestamp) > seconds)
            continue;
        // Where timestamps may start again from zero (joined MPEG recordings, VOB cells, chained
        // Ogg), a time is found more than once and the search may land in the wrong part; and
        // after a search the Ogg demuxer does not go on into the next link of a chain.
        if (!(m_format->iformat->flags & AVFMT_TS_DISCONT)) {
            m_resumeSeconds = SecondsOf(landing->timestamp);
            return;
        }
        if (!TimestampsRiseThroughout(*landing) || !SeekToTime(target))
            break;
        const std::optional<Landing> again = PeekLanding();
        if (again && again->position == landing->position &&
            again->timestamp == landing->timestamp) {
            m_resumeSeconds = SecondsOf(landing->timestamp);
            return;
        }
        break;
    }
    Rewind();
}

double InputMedia::FrameSeconds(const AVFrame *frame) const
{
    const int64_t pts =
        frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
    if (pts == AV_NOPTS_VALUE)
        return -1;
    return SecondsOf(av_rescale_q(pts, AudioStream()->time_base, AV_TIME_BASE_Q));
}

void InputMedia::SendToDecoder(const AVPacket *packet)
{
    const int sent = avcodec_send_packet(m_decoder.get(), packet);
    if (sent == AVERROR(ENOMEM))
        throw EncoderError("out of memory");
    // A damaged packet is skipped, as players do; the rest of the file still converts.
    if (sent < 0 && sent != AVERROR(EAGAIN))
        ++m_decodeErrors;
}

bool InputMedia::SplitsAmrPackets() const
{
    // Multichannel AMR stores one frame per channel side by side; those packets stay whole.
    return IsAmr(m_decoder->codec_id) && m_decoder->ch_layout.nb_channels == 1;
}

void InputMedia::SendNextAmrFrame()
{
    const AVCodecID codec = m_decoder->codec_id;
    const uint8_t header = m_amrPacket->data[m_amrOffset];
    const int bytes = std::min(AmrFrameBytes(codec, header), m_amrPacket->size - m_amrOffset);
    const AVRational frameTime{AmrFrameSamples(codec), m_decoder->sample_rate};
    const AVRational timeBase = m_format->streams[m_audioIndex]->time_base;
    const int64_t frameDuration = av_rescale_q(1, frameTime, timeBase);
    const int64_t pts = m_amrPacket->pts == AV_NOPTS_VALUE
                            ? AV_NOPTS_VALUE
                            : m_amrPacket->pts + av_rescale_q(m_amrFrameIndex, frameTime, timeBase);
    const bool speech = AmrFrameHasSpeech(codec, header);
    if (speech) {
        CheckAv(av_new_packet(m_packet.get(), bytes), "cannot split an AMR packet");
        std::copy_n(m_amrPacket->data + m_amrOffset, bytes, m_packet->data);
        m_packet->pts = m_packet->dts = pts;
        m_packet->duration = frameDuration;
    }
    m_amrOffset += bytes;
    ++m_amrFrameIndex;
    if (m_amrOffset >= m_amrPacket->size)
        av_packet_unref(m_amrPacket.get());

    // The decoders refuse frames without speech, yet each one stands for 20 ms of the recording.
    if (!speech) {
        m_silentSamples = AmrFrameSamples(codec);
        m_silencePts = pts;
        return;
    }
    SendToDecoder(m_packet.get());
    av_packet_unref(m_packet.get());
}

bool InputMedia::ReadAudioPacket()
{
    while (true) {
        const int read = av_read_frame(m_format.get(), m_packet.get());
        if (read < 0) {
            if (read != AVERROR_EOF && m_format->pb && m_format->pb->error < 0)
                throw EncoderError("cannot read the input: " + AvErrorText(m_format->pb->error));
            return false;
        }
        if (m_packet->stream_index == m_audioIndex && m_packet->size > 0)
            return true;
        av_packet_unref(m_packet.get());
    }
}

void InputMedia::FeedDecoder()
{
    if (m_amrPacket->size > 0) {
        SendNextAmrFrame();
        return;
    }
    if (!m_packetPending && !ReadAudioPacket()) {
        // The end of the input, or data past which nothing can be read: drain the decoder.
        m_draining = true;
        avcodec_send_packet(m_decoder.get(), nullptr);
        return;
    }
    m_packetPending = false;
    if (SplitsAmrPackets()) {
        av_packet_move_ref(m_amrPacket.get(), m_packet.get());
        m_amrOffset = 0;
        m_amrFrameIndex = 0;
        SendNextAmrFrame();
        return;
    }
    SendToDecoder(m_packet.get());
    av_packet_unref(m_packet.get());
}

void InputMedia::TakeSilence(AVFrame *frame)
{
    frame->format = m_decoder->sample_fmt;
    frame->sample_rate = m_decoder->sample_rate;
    frame->nb_samples = m_silentSamples;
    CheckAv(av_channel_layout_copy(&frame->ch_layout, &m_decoder->ch_layout), "out of memory");
    CheckAv(av_frame_get_buffer(frame, 0), "out of memory");
    av_samples_set_silence(frame->extended_data, 0, frame->nb_samples, frame->ch_layout.nb_channels,
                           m_decoder->sample_fmt);
    frame->pts = frame->best_effort_timestamp = m_silencePts;
    m_silentSamples = 0;
}

bool InputMedia::NextFrame(AVFrame *frame)
{
    while (true) {
        if (m_silentSamples > 0) {
            TakeSilence(frame);
            ++m_decodedFrames;
            return true;
        }
        const int result = avcodec_receive_frame(m_decoder.get(), frame);
        if (result >= 0) {
            if (frame->nb_samples > 0 && frame->sample_rate > 0 &&
                frame->ch_layout.nb_channels > 0) {
                ++m_decodedFrames;
                return true;
            }
            av_frame_unref(frame);
            continue;
        }
        if (result == AVERROR_EOF)
            return false;
        if (result != AVERROR(EAGAIN)) {
            if (result == AVERROR(ENOMEM))
                throw EncoderError("out of memory");
            ++m_decodeErrors;
        }
        if (m_draining)
            return false;
        FeedDecoder();
    }
}

} // namespace evc
