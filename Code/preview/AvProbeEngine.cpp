#include "preview/AvProbeEngine.h"

#include "preview/Mp3Length.h"
#include "support/AvHandles.h"
#include "support/MediaDemuxers.h"
#include "support/PlaybackClock.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/crc.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/intreadwrite.h>
#include <libavutil/log.h>
}

#include <algorithm>
#include <cstring>
#include <deque>
#include <filesystem>
#include <optional>
#include <vector>

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
// Packets the demuxer marks for discarding are left out, as a decoder leaves them out.
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
        if (packet.flags & AV_PKT_FLAG_DISCARD)
            return;
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

// The length of a stream from all its packets, read from the current position to the end.
int64_t PacketLengthMs(AVFormatContext &input, int streamIndex)
{
    const PacketSpan span = ReadToEnd(input, streamIndex);
    if (span.amrFrames > 0)
        return span.amrFrames * 20;
    return WholeLengthMs(span, input.streams[streamIndex]->time_base);
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

// Counts the samples a decoder plays from the packets it is given: priming, padding, packets
// marked for discarding and damaged frames dropped as libavcodec drops them.
class PlayedSamples
{
public:
    explicit PlayedSamples(const AVStream &stream) : m_frame(av_frame_alloc())
    {
        const AVCodec *codec = avcodec_find_decoder(stream.codecpar->codec_id);
        if (!codec)
            return;
        m_decoder.reset(avcodec_alloc_context3(codec));
        if (!m_frame || !m_decoder)
            throw EMediaEngineError("Out of memory decoding audio");
        if (avcodec_parameters_to_context(m_decoder.get(), stream.codecpar) < 0)
            return;
        m_decoder->pkt_timebase = stream.time_base;
        m_decoder->thread_count = 1;
        m_ready = avcodec_open2(m_decoder.get(), codec, nullptr) >= 0;
    }

    bool Ready() const { return m_ready; }
    // A packet of the stream, or nullptr at its end to get what the decoder still holds.
    void Send(const AVPacket *packet)
    {
        if (m_ready && avcodec_send_packet(m_decoder.get(), packet) >= 0)
            ReceiveFrames();
    }
    int64_t Samples() const { return m_samples; }
    int SampleRate() const { return m_sampleRate; }
    int64_t Ms() const { return m_sampleRate > 0 ? av_rescale(m_samples, 1000, m_sampleRate) : 0; }

private:
    void ReceiveFrames()
    {
        while (avcodec_receive_frame(m_decoder.get(), m_frame.get()) >= 0) {
            if (m_frame->sample_rate > 0) {
                // Rates may change within a stream; count everything at the latest one.
                if (m_sampleRate > 0 && m_frame->sample_rate != m_sampleRate)
                    m_samples = av_rescale(m_samples, m_frame->sample_rate, m_sampleRate);
                m_sampleRate = m_frame->sample_rate;
                m_samples += m_frame->nb_samples;
            }
            av_frame_unref(m_frame.get());
        }
    }

    avhandles::CodecContextPtr m_decoder;
    avhandles::FramePtr m_frame;
    bool m_ready = false;
    int64_t m_samples = 0;
    int m_sampleRate = 0;
};

// The length of an audio stream by decoding it whole; 0 when it cannot be decoded. Damaged
// packets are passed over, as a conversion passes over them.
int64_t DecodedLengthMs(AVFormatContext &input, int streamIndex)
{
    PlayedSamples played(*input.streams[streamIndex]);
    if (!played.Ready())
        return 0;
    avhandles::PacketPtr packet(av_packet_alloc());
    if (!packet)
        throw EMediaEngineError("Out of memory decoding audio");
    while (av_read_frame(&input, packet.get()) >= 0) {
        if (packet->stream_index == streamIndex)
            played.Send(packet.get());
        av_packet_unref(packet.get());
    }
    played.Send(nullptr);
    return played.Ms();
}

// How many packets at the start are decoded, at least and at most, to learn what the decoder
// drops there.
constexpr int kHeadPackets = 8;
constexpr int kMostHeadPackets = 2000;
// How many of the last packets are decoded: the last one's sound may lean on the one before.
constexpr size_t kTailPackets = 4;
// How far before the expected end reading starts to find the last packets, when reading the
// head and the tail only of an MP4 file, whose index seeks exactly.
constexpr int64_t kMp4TailMicroseconds = AV_TIME_BASE / 2;

// The start of a stream, decoded: where its first played packet lies and how many samples the
// decoder drops among the first packets (priming, edit lists, a first frame it cannot play).
struct Head
{
    int64_t first = AV_NOPTS_VALUE; // stream time base
    int64_t end = AV_NOPTS_VALUE;
    int64_t bytes = 0;
    int64_t droppedMs = 0;
};

std::optional<Head> ReadHead(AVFormatContext &input, int streamIndex)
{
    const AVStream &stream = *input.streams[streamIndex];
    PlayedSamples played(stream);
    avhandles::PacketPtr packet(av_packet_alloc());
    if (!packet)
        throw EMediaEngineError("Out of memory decoding audio");
    if (!played.Ready())
        return std::nullopt;
    Head head;
    // The decoder may drop more than the first packets hold (a long Opus pre-skip): the head
    // goes on until the sound has started.
    bool sounding = false;
    for (int packets = 0; (packets < kHeadPackets || !sounding) && packets < kMostHeadPackets &&
                          av_read_frame(&input, packet.get()) >= 0;) {
        if (packet->stream_index == streamIndex) {
            const int64_t before = played.Samples();
            played.Send(packet.get());
            sounding = played.Samples() > before;
            const bool kept = !(packet->flags & AV_PKT_FLAG_DISCARD);
            if (kept && (packet->pts == AV_NOPTS_VALUE || packet->duration <= 0)) {
                av_packet_unref(packet.get());
                return std::nullopt; // no clock to count the rest by
            }
            if (kept) {
                if (head.first == AV_NOPTS_VALUE)
                    head.first = packet->pts;
                head.end = std::max(head.end, packet->pts + packet->duration);
                head.bytes += packet->size;
                ++packets;
            }
        }
        av_packet_unref(packet.get());
    }
    played.Send(nullptr);
    if (head.first == AV_NOPTS_VALUE)
        return std::nullopt;
    head.droppedMs = MsBetween(head.first, head.end, stream.time_base) - played.Ms();
    return head;
}

// The end of an MP4 stream: where the sound of its last packet ends (stream time base). The last
// packet is decoded, since an edit list that ends inside it makes its duration say less than the
// decoder plays.
struct Tail
{
    int64_t end = AV_NOPTS_VALUE;
    bool clockRestarted = false; // the timestamps went back: they cannot place the end
};

Tail ReadTail(AVFormatContext &input, int streamIndex, int64_t from)
{
    const AVStream &stream = *input.streams[streamIndex];
    Tail tail;
    PlayedSamples played(stream);
    avhandles::PacketPtr packet(av_packet_alloc());
    if (!packet)
        throw EMediaEngineError("Out of memory reading packets");
    if (!played.Ready() || avformat_seek_file(&input, streamIndex, INT64_MIN, from, from, 0) < 0)
        return tail;
    std::deque<avhandles::PacketPtr> last;
    while (av_read_frame(&input, packet.get()) >= 0) {
        if (packet->stream_index == streamIndex && !(packet->flags & AV_PKT_FLAG_DISCARD) &&
            packet->pts != AV_NOPTS_VALUE && packet->duration > 0) {
            if (!last.empty() && packet->pts < last.back()->pts)
                tail.clockRestarted = true;
            last.emplace_back(av_packet_clone(packet.get()));
            if (!last.back())
                throw EMediaEngineError("Out of memory reading packets");
            if (last.size() > kTailPackets)
                last.pop_front();
        }
        av_packet_unref(packet.get());
    }
    if (last.empty())
        return tail;
    for (size_t i = 0; i + 1 < last.size(); ++i)
        played.Send(last[i].get());
    const int64_t playedBeforeLast = played.Samples();
    played.Send(last.back().get());
    played.Send(nullptr);
    if (played.SampleRate() > 0)
        tail.end = last.back()->pts + av_rescale_q(played.Samples() - playedBeforeLast,
                                                   {1, played.SampleRate()}, stream.time_base);
    return tail;
}

// Whether every sample the MP4 index lists lies inside the file: a download cut short lists
// samples beyond its end.
bool IndexEndsInsideFile(AVStream &stream, int64_t fileSize)
{
    const int entries = avformat_index_get_entries_count(&stream);
    if (entries <= 0)
        return false;
    for (int i = 0; i < entries; ++i) {
        const AVIndexEntry *entry = avformat_index_get_entry(&stream, i);
        if (!entry || entry->pos < 0 || entry->pos + entry->size > fileSize)
            return false;
    }
    return true;
}

// Whether the bytes of an Ogg file fit the length its last granule gives: a file with a gap in
// its pages has its last granule far beyond the sound it holds, and so fewer bytes per second
// than its first packets or its last pages.
bool BytesFitLength(const Head &head, double tailBytesPerMs, int64_t fileSize, int64_t lengthMs,
                    AVRational timeBase)
{
    const int64_t headMs = MsBetween(head.first, head.end, timeBase);
    if (headMs <= 0 || lengthMs <= 0)
        return false;
    const double fileRate = double(fileSize) / double(lengthMs);
    return fileRate >= 0.7 * std::max(double(head.bytes) / double(headMs), tailBytesPerMs);
}

// The bytes from `position` on, at most `count`. Moves the input: a demuxer reading on needs a
// seek first.
std::vector<uint8_t> ReadBytesAt(AVIOContext &io, int64_t position, int count)
{
    std::vector<uint8_t> bytes(size_t(std::max(count, 0)));
    int read = 0;
    if (avio_seek(&io, std::max<int64_t>(position, 0), SEEK_SET) >= 0)
        read = avio_read(&io, bytes.data(), count);
    bytes.resize(size_t(std::max(read, 0)));
    return bytes;
}

constexpr size_t kOggPageHeaderBytes = 27;

// The serial numbers of the streams an Ogg file begins: those of its first pages, which all
// begin a stream.
std::vector<uint32_t> OggFirstSerials(AVIOContext &io)
{
    const std::vector<uint8_t> start = ReadBytesAt(io, 0, 8 << 10);
    std::vector<uint32_t> serials;
    for (size_t at = 0; at + kOggPageHeaderBytes <= start.size() &&
                        std::memcmp(start.data() + at, "OggS", 4) == 0 && (start[at + 5] & 0x02);) {
        serials.push_back(AV_RL32(start.data() + at + 14));
        const size_t segments = start[at + 26];
        if (at + kOggPageHeaderBytes + segments > start.size())
            break;
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i)
            body += start[at + kOggPageHeaderBytes + i];
        at += kOggPageHeaderBytes + segments + body;
    }
    return serials;
}

// The end of an Ogg stream from the last pages of the file, found without the demuxer's search:
// the granule position of the last whole page of one of the streams the file begins with, and
// the bytes per granule of its last two pages.
struct OggEnd
{
    int64_t granule = -1;
    double bytesPerGranule = 0;
};

// The whole pages in `bytes`, each checked against its CRC: a page cut off by the end of the
// file, or bytes that only look like a page header, do not count.
struct OggPage
{
    uint32_t serial = 0;
    int64_t granule = -1;
    size_t end = 0;
};

std::vector<OggPage> OggPagesIn(std::vector<uint8_t> &bytes)
{
    const AVCRC *crcTable = av_crc_get_table(AV_CRC_32_IEEE);
    std::vector<OggPage> pages;
    for (size_t at = 0; at + kOggPageHeaderBytes <= bytes.size(); ++at) {
        uint8_t *page = bytes.data() + at;
        if (std::memcmp(page, "OggS", 4) != 0 || page[4] != 0)
            continue;
        const size_t segments = page[26];
        size_t size = kOggPageHeaderBytes + segments;
        if (at + size > bytes.size())
            break;
        for (size_t i = 0; i < segments; ++i)
            size += page[kOggPageHeaderBytes + i];
        if (at + size > bytes.size())
            break;
        // libavutil's table for this polynomial yields the CRC byte-swapped: Ogg's little-endian
        // field is compared read as big-endian.
        const uint32_t stated = AV_RB32(page + 22);
        AV_WB32(page + 22, 0);
        const uint32_t computed = av_crc(crcTable, 0, page, size);
        AV_WB32(page + 22, stated);
        if (computed != stated)
            continue;
        pages.push_back({AV_RL32(page + 14), int64_t(AV_RL64(page + 6)), at + size});
        at += size - 1;
    }
    return pages;
}

std::optional<OggEnd> ReadOggEnd(AVIOContext &io, const std::vector<uint32_t> &streams)
{
    constexpr int kWindow = 65307 * 2; // two pages of the largest size
    const int64_t fileSize = avio_size(&io);
    std::vector<uint8_t> bytes = ReadBytesAt(io, fileSize - kWindow, kWindow);
    const std::vector<OggPage> pages = OggPagesIn(bytes);
    // A chained file ends in another link, whose stream the file did not begin with.
    if (pages.empty() ||
        std::find(streams.begin(), streams.end(), pages.back().serial) == streams.end())
        return std::nullopt;
    std::vector<OggPage> own;
    for (const OggPage &page : pages) {
        if (page.serial == pages.back().serial && page.granule >= 0)
            own.push_back(page);
    }
    if (own.size() < 2 || own.back().granule <= own[own.size() - 2].granule)
        return std::nullopt;
    const OggPage &last = own.back();
    const OggPage &before = own[own.size() - 2];
    return OggEnd{last.granule,
                  double(last.end - before.end) / double(last.granule - before.granule)};
}

bool IsMp4(const AVFormatContext &input)
{
    return std::strstr(input.iformat->name, "mp4") != nullptr;
}

// Whether the container's timestamps place a stream's first and last packets exactly: an MP4
// whose index lists only samples inside the file, or Ogg's granules, which count the samples of
// these codecs exactly. AMR packs several frames into one sample and is counted frame by frame.
bool TimestampsPlaceTheEnds(const AVFormatContext &input, AVStream &stream)
{
    const AVCodecID codec = stream.codecpar->codec_id;
    const bool ogg = std::strcmp(input.iformat->name, "ogg") == 0 &&
                     (codec == AV_CODEC_ID_VORBIS || codec == AV_CODEC_ID_OPUS);
    const bool amr = codec == AV_CODEC_ID_AMR_NB || codec == AV_CODEC_ID_AMR_WB;
    const int64_t fileSize = avio_size(input.pb);
    if ((!IsMp4(input) && !ogg) || amr || fileSize <= 0 || stream.duration == AV_NOPTS_VALUE ||
        stream.duration <= 0)
        return false;
    return !IsMp4(input) || IndexEndsInsideFile(stream, fileSize);
}

// Samples that an Opus stream's granules count before its sound starts (the header's pre-skip);
// the demuxer's timestamps leave them out.
int64_t GranulesBeforeTimestamps(const AVCodecParameters &codec)
{
    if (codec.codec_id != AV_CODEC_ID_OPUS || codec.extradata_size < 12)
        return 0;
    return AV_RL16(codec.extradata + 10);
}

// The length of an audio stream from its first packets and its last ones, where
// TimestampsPlaceTheEnds; nothing where the file must be read whole.
std::optional<int64_t> HeadAndTailLengthMs(AVFormatContext &input, int streamIndex)
{
    const AVStream &stream = *input.streams[streamIndex];
    const std::optional<Head> head = ReadHead(input, streamIndex);
    if (!head)
        return std::nullopt;
    if (IsMp4(input)) {
        const int64_t start = stream.start_time != AV_NOPTS_VALUE ? stream.start_time : head->first;
        const int64_t from = start + stream.duration -
                             av_rescale_q(kMp4TailMicroseconds, AV_TIME_BASE_Q, stream.time_base);
        const Tail tail = ReadTail(input, streamIndex, std::max(from, head->end));
        if (tail.end == AV_NOPTS_VALUE || tail.end < head->end || tail.clockRestarted)
            return std::nullopt;
        return std::max<int64_t>(
            MsBetween(head->first, tail.end, stream.time_base) - head->droppedMs, 0);
    }
    const std::optional<OggEnd> end = ReadOggEnd(*input.pb, OggFirstSerials(*input.pb));
    if (!end)
        return std::nullopt;
    const int64_t last = end->granule - GranulesBeforeTimestamps(*stream.codecpar);
    if (last < head->end)
        return std::nullopt;
    const int64_t lengthMs = MsBetween(head->first, last, stream.time_base) - head->droppedMs;
    const double tailBytesPerMs = end->bytesPerGranule * av_q2d(av_inv_q(stream.time_base)) / 1000;
    if (!BytesFitLength(*head, tailBytesPerMs, avio_size(input.pb), lengthMs, stream.time_base))
        return std::nullopt;
    return std::max<int64_t>(lengthMs, 0);
}

// Only the measured stream's packets are read.
void ReadOnly(AVFormatContext &input, int streamIndex)
{
    for (unsigned i = 0; i < input.nb_streams; ++i)
        input.streams[i]->discard = int(i) == streamIndex ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
}

// The length of the audio from the file's headers, or its first and last packets, where they fit
// the file; nothing where every packet must be read.
struct HeaderReading
{
    std::optional<int64_t> ms;
    bool inputUsed = false; // packets were read: reading whole needs the file opened again
};

HeaderReading LengthFromHeadersMs(AVFormatContext &input, int streamIndex)
{
    const AVStream &stream = *input.streams[streamIndex];
    if (!input.pb || stream.codecpar->codec_type != AVMEDIA_TYPE_AUDIO)
        return {};
    if (TimestampsPlaceTheEnds(input, *input.streams[streamIndex]))
        return {HeadAndTailLengthMs(input, streamIndex), true};
    if (std::strcmp(input.iformat->name, "mp3") != 0 ||
        stream.codecpar->codec_id != AV_CODEC_ID_MP3)
        return {};
    // The demuxer goes on from where it was, as if its file had not been read in between.
    const int64_t position = avio_tell(input.pb);
    HeaderReading reading;
    if (const std::optional<Mp3Length> mp3 = Mp3LengthFromHeaders(*input.pb))
        reading.ms = av_rescale(mp3->samples, 1000, mp3->sampleRate);
    reading.inputUsed = avio_seek(input.pb, position, SEEK_SET) < 0;
    return reading;
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
    ReadOnly(input, measured);
    const HeaderReading fromHeaders = LengthFromHeadersMs(input, measured);
    if (fromHeaders.ms)
        return *fromHeaders.ms;
    if (!fromHeaders.inputUsed)
        return ReadPacketsMs(path, input, measured);
    InputPtr again = OpenInput(path);
    ReadOnly(*again, measured);
    return ReadPacketsMs(path, *again, measured);
}

int64_t TAvProbeEngine::ReadPacketsMs(const std::string &path, AVFormatContext &input, int measured)
{
    const AVStream &stream = *input.streams[measured];
    const int64_t size = input.pb ? avio_size(input.pb) : -1;
    const bool headerKnowsLength = input.duration != AV_NOPTS_VALUE && input.duration > 0;
    if ((size >= 0 && size <= kWholeScanBytes) || !headerKnowsLength) {
        // Reading starts with the packets that reading the stream information kept, so this
        // covers the whole file.
        const AVCodecID codec = stream.codecpar->codec_id;
        const bool audio = stream.codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
        if (audio && codec != AV_CODEC_ID_AMR_NB && codec != AV_CODEC_ID_AMR_WB) {
            // What a decoder plays: priming, padding and damaged frames dropped as it drops them.
            const int64_t decoded = DecodedLengthMs(input, measured);
            if (decoded > 0)
                return decoded;
            return PacketLengthMs(*OpenInput(path), measured);
        }
        return PacketLengthMs(input, measured);
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
    m_holdsAudio = false;
}

int TAvProbeEngine::RenderFile(const std::string &path)
{
    RequireActive("RenderFile");
    ClearGraph();
    InputPtr input = OpenInput(path);
    const int undecodable = CountUndecodable(*input);
    m_holdsAudio = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0) >= 0;
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
