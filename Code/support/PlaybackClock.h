#pragma once

// Where a source file's playback time begins: the time that a player shows as position 0, which
// the timeline, the job list's lengths and evc's segments all count from. It is the container's
// start, the earliest timestamp of any of its streams, so that audio starting after the video
// starts after 0 as well. MPEG program and transport streams are played against their system
// clock, which starts a little before the first timestamp (the decoder's buffering delay, up to
// a second or more); their playback time begins at the first clock reference in the file.

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <cstdint>
#include <cstring>
#include <vector>

namespace playbackclock {

namespace detail {

constexpr int64_t kNone = -1;
constexpr size_t kClockSearchBytes = 256 * 1024;
// A clock reference further than this before the first timestamp belongs to another clock (a
// wrap of the 33-bit counter, a header from elsewhere) and is not believed.
constexpr int64_t kLongestBufferingMicroseconds = 2 * AV_TIME_BASE;

// The system clock reference of the first pack header, in 90 kHz units.
inline int64_t FirstPackClock(const std::vector<uint8_t> &data)
{
    for (size_t i = 0; i + 10 <= data.size(); ++i) {
        if (data[i] != 0 || data[i + 1] != 0 || data[i + 2] != 1 || data[i + 3] != 0xBA)
            continue;
        const uint8_t *b = &data[i + 4];
        if ((b[0] >> 6) == 1) // MPEG-2
            return (int64_t(b[0] & 0x38) << 27) | (int64_t(b[0] & 0x03) << 28) |
                   (int64_t(b[1]) << 20) | (int64_t(b[2] & 0xF8) << 12) |
                   (int64_t(b[2] & 0x03) << 13) | (int64_t(b[3]) << 5) | (b[4] >> 3);
        if ((b[0] >> 4) == 2) // MPEG-1
            return (int64_t(b[0] & 0x0E) << 29) | (int64_t(b[1]) << 22) |
                   (int64_t(b[2] & 0xFE) << 14) | (int64_t(b[3]) << 7) | (b[4] >> 1);
        return kNone;
    }
    return kNone;
}

// The first programme clock reference of a transport stream (its 90 kHz base), for packets of
// 188 bytes and those with a 4-byte time code (192) or 16 bytes of error correction (204).
inline int64_t FirstTransportClock(const std::vector<uint8_t> &data)
{
    for (const size_t packet : {size_t(188), size_t(192), size_t(204)}) {
        for (size_t sync = 0; sync < packet && sync + 3 * packet <= data.size(); ++sync) {
            if (data[sync] != 0x47 || data[sync + packet] != 0x47 ||
                data[sync + 2 * packet] != 0x47)
                continue;
            for (size_t at = sync; at + 12 <= data.size(); at += packet) {
                const uint8_t *p = &data[at];
                if (p[0] != 0x47)
                    return kNone;
                const bool adaptation = (p[3] & 0x20) != 0;
                if (adaptation && p[4] >= 7 && (p[5] & 0x10))
                    return (int64_t(p[6]) << 25) | (int64_t(p[7]) << 17) | (int64_t(p[8]) << 9) |
                           (int64_t(p[9]) << 1) | (p[10] >> 7);
            }
            return kNone;
        }
    }
    return kNone;
}

inline std::vector<uint8_t> FirstBytes(const AVFormatContext &input)
{
    std::vector<uint8_t> data;
    if (!input.url)
        return data;
    AVDictionary *options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    AVIOContext *file = nullptr;
    const int opened = avio_open2(&file, input.url, AVIO_FLAG_READ, nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
        return data;
    data.resize(kClockSearchBytes);
    const int read = avio_read(file, data.data(), static_cast<int>(data.size()));
    data.resize(read > 0 ? static_cast<size_t>(read) : 0);
    avio_closep(&file);
    return data;
}

inline int64_t MpegClockStart(const AVFormatContext &input)
{
    const char *name = input.iformat ? input.iformat->name : "";
    const bool program = std::strcmp(name, "mpeg") == 0;
    const bool transport = std::strcmp(name, "mpegts") == 0;
    if (!program && !transport)
        return kNone;
    const std::vector<uint8_t> data = FirstBytes(input);
    const int64_t clock = program ? FirstPackClock(data) : FirstTransportClock(data);
    if (clock == kNone)
        return kNone;
    return av_rescale(clock, AV_TIME_BASE, 90000);
}

} // namespace detail

// The start of playback in AV_TIME_BASE units on the demuxer's timestamps; 0 when the file
// gives no times at all.
inline int64_t PlaybackOriginMicroseconds(const AVFormatContext &input)
{
    const int64_t start = input.start_time;
    if (start == AV_NOPTS_VALUE)
        return 0;
    const int64_t clock = detail::MpegClockStart(input);
    if (clock != detail::kNone && clock <= start &&
        start - clock <= detail::kLongestBufferingMicroseconds)
        return clock;
    return start;
}

} // namespace playbackclock
