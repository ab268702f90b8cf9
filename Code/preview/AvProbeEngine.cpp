#include "preview/AvProbeEngine.h"

#include "support/AvHandles.h"
#include "support/MediaDemuxers.h"
#include "support/PlaybackClock.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
}

#include <algorithm>
#include <filesystem>

namespace {

std::string AvErrorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

struct DictionaryGuard
{
    AVDictionary *options = nullptr;
    ~DictionaryGuard() { av_dict_free(&options); }
};

// Files up to this size are measured by reading all their packets: exact whatever the header
// says, and fast at this size. Larger files are measured from their last packets.
constexpr int64_t kWholeScanBytes = 4 << 20;
// How far before the expected end reading starts when looking for the last packets.
constexpr int64_t kEndWindowMicroseconds = 5 * AV_TIME_BASE;

bool IsPicture(const AVStream &stream)
{
    return (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
}

// The stream whose length counts: the audio stream evc converts, else the main video stream.
int MeasuredStream(AVFormatContext &input)
{
    const AVCodec *decoder = nullptr;
    int index = av_find_best_stream(&input, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (index < 0)
        index = av_find_best_stream(&input, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index < 0)
        index = av_find_best_stream(&input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index >= 0 && IsPicture(*input.streams[index]))
        return -1;
    return index;
}

// The length the container states: the measured stream's, else the whole file's.
int64_t HeaderDurationMs(const AVFormatContext &input, const AVStream *stream)
{
    if (stream && stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        return av_rescale_q(stream->duration, stream->time_base, {1, 1000});
    if (input.duration != AV_NOPTS_VALUE && input.duration > 0)
        return input.duration / 1000; // microseconds
    int64_t longest = 0;
    for (unsigned i = 0; i < input.nb_streams; ++i) {
        const AVStream *each = input.streams[i];
        if (each->duration == AV_NOPTS_VALUE || each->duration <= 0)
            continue;
        longest = std::max(longest, av_rescale_q(each->duration, each->time_base, {1, 1000}));
    }
    return longest;
}

// What the packets of one stream, read in file order, say about its length (stream time base).
struct PacketSpan
{
    int64_t first = AV_NOPTS_VALUE; // earliest timestamp
    int64_t end = AV_NOPTS_VALUE;   // latest timestamp plus that packet's duration
    int64_t summed = 0;             // total of the packets' durations
    int64_t packets = 0;
    int64_t withoutDuration = 0;
    int64_t amrFrames = 0; // speech frames of an AMR stream, 20 ms each

    void Add(const AVPacket &packet)
    {
        ++packets;
        const int64_t duration = packet.duration > 0 ? packet.duration : 0;
        if (duration == 0)
            ++withoutDuration;
        else if (summed <= INT64_MAX - duration)
            summed += duration;
        const int64_t time = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
        if (time == AV_NOPTS_VALUE)
            return;
        if (first == AV_NOPTS_VALUE || time < first)
            first = time;
        const int64_t packetEnd = time <= INT64_MAX - duration ? time + duration : INT64_MAX;
        if (end == AV_NOPTS_VALUE || packetEnd > end)
            end = packetEnd;
    }
    bool HasTimes() const { return first != AV_NOPTS_VALUE; }
};

// The number of AMR speech frames in a packet in storage format: each frame starts with a byte
// whose frame type fixes the frame's size. Phones pack several frames into one sample.
int64_t CountAmrFrames(const AVPacket &packet, bool wideband)
{
    static const uint8_t narrowSizes[16] = {13, 14, 16, 18, 20, 21, 27, 32, 6, 1, 1, 1, 1, 1, 1, 1};
    static const uint8_t wideSizes[16] = {18, 24, 33, 37, 41, 47, 51, 59, 61, 6, 1, 1, 1, 1, 1, 1};
    const uint8_t *sizes = wideband ? wideSizes : narrowSizes;
    int64_t frames = 0;
    for (int at = 0; at < packet.size; at += sizes[(packet.data[at] >> 3) & 0x0f])
        ++frames;
    return frames;
}

PacketSpan ReadToEnd(AVFormatContext &input, int streamIndex)
{
    const AVCodecID codec = input.streams[streamIndex]->codecpar->codec_id;
    const bool amr = codec == AV_CODEC_ID_AMR_NB || codec == AV_CODEC_ID_AMR_WB;
    PacketSpan span;
    AVPacket *packet = av_packet_alloc();
    if (!packet)
        throw EMediaEngineError("Out of memory reading packets");
    // A read error ends the file as the end does: what came before it is what can be played.
    while (av_read_frame(&input, packet) >= 0) {
        if (packet->stream_index == streamIndex) {
            span.Add(*packet);
            if (amr)
                span.amrFrames += CountAmrFrames(*packet, codec == AV_CODEC_ID_AMR_WB);
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    return span;
}

int64_t TicksToMs(int64_t ticks, AVRational timeBase)
{
    return std::max<int64_t>(av_rescale_q(ticks, timeBase, {1, 1000}), 0);
}

// Milliseconds from one timestamp to a later one; 0 when `to` is not later or the timestamps are
// too far apart to be a real length.
int64_t MsBetween(int64_t from, int64_t to, AVRational timeBase)
{
    int64_t ticks = 0;
    if (__builtin_sub_overflow(to, from, &ticks) || ticks <= 0)
        return 0;
    return TicksToMs(ticks, timeBase);
}

// Whether the packets leave the length open, so that decoding must settle it: most of them carry
// no duration (several frames each, or one frame of a raw stream), or their timestamps and
// durations disagree (some muxers give a whole packet's duration to a short last one).
bool PacketsAreVague(const PacketSpan &span, AVRational timeBase)
{
    if (span.withoutDuration * 10 > span.packets)
        return true;
    if (!span.HasTimes() || span.withoutDuration > 0)
        return false;
    const int64_t summedMs = TicksToMs(span.summed, timeBase);
    const int64_t spanMs = MsBetween(span.first, span.end, timeBase);
    return std::abs(spanMs - summedMs) > std::max<int64_t>(100, summedMs / 33);
}

// The length of a stream read whole. Where the timestamps' span and the total of the packets'
// durations agree, it is the larger of the two: a row a little too long costs nothing, since the
// conversion stops at the end of the file, while one too short cuts the end off. Where the
// timestamps jump (a reset, a gap) the total is what decodes.
int64_t WholeLengthMs(const PacketSpan &span, AVRational timeBase)
{
    if (span.packets == 0)
        return 0;
    const int64_t summedMs = TicksToMs(span.summed, timeBase);
    if (!span.HasTimes())
        return summedMs;
    const int64_t spanMs = MsBetween(span.first, span.end, timeBase);
    if (span.withoutDuration > 0)
        return spanMs;
    const int64_t tolerance = std::max<int64_t>(1000, summedMs / 20);
    return std::abs(spanMs - summedMs) <= tolerance ? std::max(spanMs, summedMs) : summedMs;
}

// Timestamps that advance far less than the packets last (some AVI muxers count packets, not
// time) cannot place the end; the durations can, read from the start.
bool ClockIsBroken(const PacketSpan &span, AVRational timeBase)
{
    return span.HasTimes() && span.packets > 1 && span.withoutDuration == 0 &&
           MsBetween(span.first, span.end, timeBase) < TicksToMs(span.summed, timeBase) / 2;
}

int64_t WholeLengthFromStart(AVFormatContext &input, int streamIndex)
{
    if (avformat_seek_file(&input, -1, INT64_MIN,
                           input.start_time == AV_NOPTS_VALUE ? 0 : input.start_time, INT64_MAX,
                           AVSEEK_FLAG_BACKWARD) < 0 &&
        avformat_seek_file(&input, -1, INT64_MIN, 0, INT64_MAX, AVSEEK_FLAG_BYTE) < 0)
        return 0;
    return WholeLengthMs(ReadToEnd(input, streamIndex), input.streams[streamIndex]->time_base);
}

// The length of a large file from its last packets: reading starts a little before the end the
// container expects and, where nothing is found there (a file cut short), further back.
int64_t EndLengthMs(AVFormatContext &input, int streamIndex)
{
    const AVStream &stream = *input.streams[streamIndex];
    int64_t origin = stream.start_time;
    if (origin == AV_NOPTS_VALUE)
        origin = input.start_time == AV_NOPTS_VALUE
                     ? 0
                     : av_rescale_q(input.start_time, AV_TIME_BASE_Q, stream.time_base);
    const int64_t expected = input.duration;
    const int64_t targets[] = {expected - kEndWindowMicroseconds, expected / 4 * 3, expected / 2,
                               expected / 4, 0};
    int64_t tried = -1;
    for (const int64_t target : targets) {
        if (target < 0 || (tried >= 0 && target >= tried))
            continue;
        tried = target;
        int64_t timestamp = 0;
        if (__builtin_add_overflow(origin, av_rescale_q(target, AV_TIME_BASE_Q, stream.time_base),
                                   &timestamp))
            continue;
        if (avformat_seek_file(&input, streamIndex, INT64_MIN, timestamp, timestamp, 0) < 0)
            continue;
        // Packets that end before the time sought were not found there (a seek past the end
        // of a cut-off file lands on its last packet, and some containers then restart their
        // clock); only reading from the start is sure of their times.
        const PacketSpan span = ReadToEnd(input, streamIndex);
        if (ClockIsBroken(span, stream.time_base))
            return WholeLengthFromStart(input, streamIndex);
        if (span.HasTimes() && (target == 0 || span.end >= timestamp))
            return MsBetween(origin, span.end, stream.time_base);
    }
    return HeaderDurationMs(input, &stream);
}

// The length of an audio stream by decoding it whole; 0 when it cannot be decoded. Damaged
// packets are passed over, as a conversion passes over them.
int64_t DecodedLengthMs(AVFormatContext &input, int streamIndex)
{
    const AVStream &stream = *input.streams[streamIndex];
    const AVCodec *codec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (!codec)
        return 0;
    avhandles::CodecContextPtr decoder(avcodec_alloc_context3(codec));
    avhandles::FramePtr frame(av_frame_alloc());
    avhandles::PacketPtr packet(av_packet_alloc());
    if (!decoder || !frame || !packet)
        throw EMediaEngineError("Out of memory decoding audio");
    if (avcodec_parameters_to_context(decoder.get(), stream.codecpar) < 0)
        return 0;
    decoder->pkt_timebase = stream.time_base;
    decoder->thread_count = 1;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return 0;
    for (unsigned i = 0; i < input.nb_streams; ++i) {
        if (int(i) != streamIndex)
            input.streams[i]->discard = AVDISCARD_ALL;
    }

    int64_t samples = 0;
    int sampleRate = 0;
    const auto receiveFrames = [&] {
        while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
            if (frame->sample_rate > 0) {
                // Rates may change within a stream; count everything at the latest one.
                if (sampleRate > 0 && frame->sample_rate != sampleRate)
                    samples = av_rescale(samples, frame->sample_rate, sampleRate);
                sampleRate = frame->sample_rate;
                samples += frame->nb_samples;
            }
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(&input, packet.get()) >= 0) {
        if (packet->stream_index == streamIndex &&
            avcodec_send_packet(decoder.get(), packet.get()) >= 0)
            receiveFrames();
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(decoder.get(), nullptr);
    receiveFrames();
    return sampleRate > 0 ? av_rescale(samples, 1000, sampleRate) : 0;
}

} // namespace

void TAvProbeEngine::InputDeleter::operator()(AVFormatContext *context) const
{
    avformat_close_input(&context);
}

TAvProbeEngine::TAvProbeEngine()
{
    // Warnings such as "estimating duration from bitrate" are normal for raw streams.
    av_log_set_level(AV_LOG_ERROR);
}
TAvProbeEngine::~TAvProbeEngine() = default;

const char *TAvProbeEngine::MediaDemuxers()
{
    return kMediaDemuxers;
}

TAvProbeEngine::InputPtr TAvProbeEngine::OpenInput(const std::string &path)
{
    DictionaryGuard guard;
    av_dict_set(&guard.options, "protocol_whitelist", "file", 0);
    av_dict_set(&guard.options, "format_whitelist", MediaDemuxers(), 0);

    // A pipe would block the opening until someone writes to it, and a device such as
    // /dev/zero never ends: only regular files are probed.
    std::error_code statusError;
    const auto status = std::filesystem::status(path, statusError);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        throw EMediaEngineError("Cannot open \"" + path + "\": not a regular file");

    AVFormatContext *raw = avformat_alloc_context();
    if (!raw)
        throw EMediaEngineError("Out of memory opening \"" + path + "\"");
    // The "file:" prefix keeps a name that looks like another protocol ("concat:...") a file name.
    const std::string url = "file:" + path;
    int result = avformat_open_input(&raw, url.c_str(), nullptr, &guard.options);
    if (result < 0) // avformat_open_input frees the context on failure
        throw EMediaEngineError("Cannot open \"" + path + "\": " + AvErrorText(result));
    InputPtr input(raw);
    result = avformat_find_stream_info(input.get(), nullptr);
    if (result < 0)
        throw EMediaEngineError("Cannot read the streams of \"" + path +
                                "\": " + AvErrorText(result));
    return input;
}

int TAvProbeEngine::CountUndecodable(const AVFormatContext &input)
{
    int missing = 0;
    for (unsigned i = 0; i < input.nb_streams; ++i) {
        const AVCodecParameters *codec = input.streams[i]->codecpar;
        const bool media =
            codec->codec_type == AVMEDIA_TYPE_AUDIO || codec->codec_type == AVMEDIA_TYPE_VIDEO;
        if (media && !avcodec_find_decoder(codec->codec_id))
            ++missing;
    }
    return missing;
}

namespace {

// How far into the file's playback the measured stream begins: sound that starts after the
// picture. The row's length counts on the
// clock of the player and of evc's segments, so an untrimmed row converts to the end.
int64_t LeadInMs(AVFormatContext &input)
{
    const int measured = MeasuredStream(input);
    if (measured < 0)
        return 0;
    const AVStream &stream = *input.streams[measured];
    if (stream.start_time == AV_NOPTS_VALUE)
        return 0;
    const int64_t start = av_rescale_q(stream.start_time, stream.time_base, AV_TIME_BASE_Q);
    return std::max<int64_t>(start - playbackclock::PlaybackOriginMicroseconds(input), 0) / 1000;
}

} // namespace

int64_t TAvProbeEngine::ReadDurationMs(const std::string &path, AVFormatContext &input)
{
    const int measured = MeasuredStream(input);
    if (measured < 0)
        return HeaderDurationMs(input, nullptr);
    const AVStream &stream = *input.streams[measured];
    for (unsigned i = 0; i < input.nb_streams; ++i) {
        if (int(i) != measured)
            input.streams[i]->discard = AVDISCARD_ALL;
    }
    const int64_t size = input.pb ? avio_size(input.pb) : -1;
    const bool headerKnowsLength = input.duration != AV_NOPTS_VALUE && input.duration > 0;
    if ((size >= 0 && size <= kWholeScanBytes) || !headerKnowsLength) {
        // The packets that reading the stream information kept are read again first, so this
        // covers the whole file.
        const PacketSpan span = ReadToEnd(input, measured);
        if (span.amrFrames > 0)
            return span.amrFrames * 20;
        if (stream.codecpar->codec_type == AVMEDIA_TYPE_AUDIO &&
            PacketsAreVague(span, stream.time_base)) {
            const int64_t decoded = DecodedLengthMs(*OpenInput(path), measured);
            if (decoded > 0)
                return decoded;
        }
        return WholeLengthMs(span, stream.time_base);
    }
    // Timestamps read at the end of the file already gave this figure.
    if (input.duration_estimation_method == AVFMT_DURATION_FROM_PTS)
        return HeaderDurationMs(input, &stream);
    return EndLengthMs(input, measured);
}

int TAvProbeEngine::CountStreamsWithoutDecoder(const std::string &path)
{
    return CountUndecodable(*OpenInput(path));
}

void TAvProbeEngine::RequireActive(const char *operation) const
{
    if (!m_active)
        throw EMediaEngineError(std::string(operation) + ": the media engine is not active");
}

void TAvProbeEngine::SetActive(bool active)
{
    m_active = active;
    if (!active)
        ClearGraph();
}

void TAvProbeEngine::ClearGraph()
{
    m_loaded = false;
    m_durationMs = 0;
}

int TAvProbeEngine::RenderFile(const std::string &path)
{
    RequireActive("RenderFile");
    ClearGraph();
    InputPtr input = OpenInput(path);
    const int undecodable = CountUndecodable(*input);
    m_durationMs = ReadDurationMs(path, *input);
    if (m_durationMs > 0)
        m_durationMs += LeadInMs(*input);
    m_loaded = true;
    return undecodable;
}

// The probe never plays; a playback request is an error.
void TAvProbeEngine::Play()
{
    RequireActive("Play");
    throw EMediaEngineError("The duration probe cannot play media");
}

void TAvProbeEngine::Pause()
{
    RequireActive("Pause");
    throw EMediaEngineError("The duration probe cannot play media");
}

void TAvProbeEngine::Stop()
{
    RequireActive("Stop");
}

int64_t TAvProbeEngine::DurationMs() const
{
    return m_active && m_loaded ? m_durationMs : 0;
}
