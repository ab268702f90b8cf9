#include "preview/Mp3Length.h"

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/intreadwrite.h>
}

#include <cmath>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct FrameHeader
{
    bool mpeg1 = false;
    int bitrateKbps = 0;
    int sampleRate = 0;
    int size = 0;    // bytes, header included
    int samples = 0; // per channel
    bool mono = false;
    uint32_t streamBits = 0; // sync, version, layer and sample rate: the same in every frame
};

std::optional<FrameHeader> ParseFrameHeader(const uint8_t *bytes)
{
    const uint32_t header = AV_RB32(bytes);
    const int versionBits = (header >> 19) & 3;
    const int layerBits = (header >> 17) & 3;
    const int bitrateIndex = (header >> 12) & 15;
    const int rateIndex = (header >> 10) & 3;
    // Layer III only; free-format bitrates give no frame size.
    if ((header & 0xFFE00000u) != 0xFFE00000u || versionBits == 1 || layerBits != 1 ||
        bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return std::nullopt;
    static const int mpeg1Rates[] = {0,   32,  40,  48,  56,  64,  80, 96,
                                     112, 128, 160, 192, 224, 256, 320};
    static const int mpeg2Rates[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const int sampleRates[] = {44100, 48000, 32000};
    FrameHeader frame;
    frame.mpeg1 = versionBits == 3;
    const int rateShift = frame.mpeg1 ? 0 : versionBits == 2 ? 1 : 2; // MPEG-2, MPEG-2.5
    frame.bitrateKbps = (frame.mpeg1 ? mpeg1Rates : mpeg2Rates)[bitrateIndex];
    frame.sampleRate = sampleRates[rateIndex] >> rateShift;
    frame.samples = frame.mpeg1 ? 1152 : 576;
    frame.size =
        frame.samples / 8 * frame.bitrateKbps * 1000 / frame.sampleRate + ((header >> 9) & 1);
    frame.mono = ((header >> 6) & 3) == 3;
    frame.streamBits = header & 0xFFFE0C00u;
    return frame;
}

Bytes ReadAt(AVIOContext &io, int64_t position, int64_t count)
{
    if (position < 0 || count <= 0 || avio_seek(&io, position, SEEK_SET) < 0)
        return {};
    Bytes bytes(static_cast<size_t>(count));
    const int read = avio_read(&io, bytes.data(), int(count));
    bytes.resize(read > 0 ? size_t(read) : 0);
    return bytes;
}

bool StartsWith(const Bytes &bytes, size_t at, const char *text)
{
    const size_t length = std::strlen(text);
    return bytes.size() >= at + length && std::memcmp(bytes.data() + at, text, length) == 0;
}

// Where the audio starts: after any ID3v2 tags.
int64_t AfterId3v2Tags(AVIOContext &io)
{
    int64_t position = 0;
    for (Bytes tag = ReadAt(io, 0, 10); StartsWith(tag, 0, "ID3"); tag = ReadAt(io, position, 10)) {
        if (tag.size() < 10 || ((tag[6] | tag[7] | tag[8] | tag[9]) & 0x80))
            break;
        const int64_t size = (int64_t(tag[6]) << 21) | (tag[7] << 14) | (tag[8] << 7) | tag[9];
        position += 10 + size + ((tag[5] & 0x10) ? 10 : 0);
    }
    return position;
}

// Where the audio ends: before an ID3v1 tag and an APEv2 tag at the end of the file.
int64_t BeforeTrailingTags(AVIOContext &io, int64_t fileSize)
{
    int64_t end = fileSize;
    for (int round = 0; round < 2; ++round) {
        if (end >= 128 && StartsWith(ReadAt(io, end - 128, 3), 0, "TAG")) {
            end -= 128;
            continue;
        }
        const Bytes footer = ReadAt(io, end - 32, 32);
        if (end >= 32 && StartsWith(footer, 0, "APETAGEX") && footer.size() == 32) {
            const int64_t hasHeader = (AV_RL32(footer.data() + 20) & 0x80000000u) ? 32 : 0;
            end -= int64_t(AV_RL32(footer.data() + 12)) + hasHeader;
            continue;
        }
        break;
    }
    return end;
}

// The frames from `at` on, as long as each header is valid and of the same stream; the bitrates
// seen, and where the last one ends.
struct FrameRun
{
    std::vector<int> bitrates;
    size_t end = 0;
};

FrameRun FollowFrames(const Bytes &bytes, size_t at, uint32_t streamBits)
{
    FrameRun run;
    run.end = at;
    while (run.end + 4 <= bytes.size()) {
        const std::optional<FrameHeader> frame = ParseFrameHeader(bytes.data() + run.end);
        if (!frame || frame->streamBits != streamBits)
            break;
        run.bitrates.push_back(frame->bitrateKbps);
        run.end += size_t(frame->size);
    }
    return run;
}

// The bitrates of the last frames, when a run of whole frames ends exactly where the audio ends;
// nothing for a stream cut off inside a frame or followed by something that is not a frame.
std::optional<std::vector<int>> LastFrames(AVIOContext &io, int64_t audioStart, int64_t audioEnd,
                                           uint32_t streamBits)
{
    const int64_t window = std::min<int64_t>(16 << 10, audioEnd - audioStart);
    const Bytes tail = ReadAt(io, audioEnd - window, window);
    for (size_t at = 0; at + 4 <= tail.size(); ++at) {
        const FrameRun run = FollowFrames(tail, at, streamBits);
        if (run.bitrates.size() >= 3 && run.end == tail.size())
            return run.bitrates;
    }
    return std::nullopt;
}

// Whether the frames around `position` all have `bitrate`: a constant-bitrate stream.
bool SameBitrateAround(AVIOContext &io, int64_t position, uint32_t streamBits, int bitrate)
{
    const Bytes bytes = ReadAt(io, position, 8 << 10);
    for (size_t at = 0; at + 4 <= bytes.size(); ++at) {
        const FrameRun run = FollowFrames(bytes, at, streamBits);
        if (run.bitrates.size() >= 4) {
            for (const int each : run.bitrates) {
                if (each != bitrate)
                    return false;
            }
            return true;
        }
    }
    return false;
}

// The first frame: the first header followed by another of the same stream where it ends.
std::optional<std::pair<int64_t, FrameHeader>> FirstFrame(AVIOContext &io, int64_t from)
{
    const Bytes bytes = ReadAt(io, from, 64 << 10);
    for (size_t at = 0; at + 4 <= bytes.size(); ++at) {
        const std::optional<FrameHeader> frame = ParseFrameHeader(bytes.data() + at);
        if (frame && FollowFrames(bytes, at, frame->streamBits).bitrates.size() >= 2)
            return std::make_pair(from + int64_t(at), *frame);
    }
    return std::nullopt;
}

// What a Xing/Info or VBRI header in the first frame says.
struct InfoHeader
{
    bool found = false;
    int64_t frames = -1;
    int64_t bytes = -1;
    int64_t startPadding = -1; // LAME's encoder delay and padding, when its tag is there
    int64_t endPadding = -1;
};

InfoHeader ReadInfoHeader(const Bytes &frame, const FrameHeader &header)
{
    InfoHeader info;
    const size_t xing = 4 + (header.mpeg1 ? (header.mono ? 17 : 32) : (header.mono ? 9 : 17));
    if (StartsWith(frame, xing, "Xing") || StartsWith(frame, xing, "Info")) {
        info.found = true;
        if (frame.size() < xing + 8)
            return info;
        const uint32_t flags = AV_RB32(frame.data() + xing + 4);
        size_t at = xing + 8;
        const auto field = [&](uint32_t flag, size_t size) -> int64_t {
            if (!(flags & flag))
                return -1;
            at += size;
            return frame.size() >= at ? int64_t(AV_RB32(frame.data() + at - size)) : -1;
        };
        info.frames = field(1, 4);
        info.bytes = field(2, 4);
        at += (flags & 4) ? 100 : 0; // seek table
        at += (flags & 8) ? 4 : 0;   // quality
        // The demuxer honours the delay and padding of these encoders' tags only.
        const bool encoderTag = StartsWith(frame, at, "LAME") || StartsWith(frame, at, "Lavf") ||
                                StartsWith(frame, at, "Lavc");
        if (encoderTag && frame.size() >= at + 24) {
            const uint32_t paddings = AV_RB24(frame.data() + at + 21);
            info.startPadding = paddings >> 12;
            info.endPadding = paddings & 0xFFF;
        }
        return info;
    }
    if (StartsWith(frame, 36, "VBRI") && frame.size() >= 54) {
        info.found = true;
        info.bytes = AV_RB32(frame.data() + 46);
        info.frames = AV_RB32(frame.data() + 50);
    }
    return info;
}

// The decoder's own delay, which the demuxer adds to LAME's encoder delay.
constexpr int64_t kDecoderDelay = 529;
// Streams with fewer frames are read whole: cheap, and the start's trimming may reach beyond the
// first frames.
constexpr int64_t kFewestFrames = 16;

std::optional<Mp3Length> LengthFromInfo(const InfoHeader &info, const FrameHeader &first,
                                        int64_t audioBytes)
{
    // The header's byte count covers the frames from its own to the last; a download cut short
    // or a header copied from another file does not match the file.
    if (info.frames < kFewestFrames || info.bytes <= 0 ||
        std::abs(info.bytes - audioBytes) > first.size)
        return std::nullopt;
    // Nor does a frame count that gives frames no bitrate of this version could have.
    const double averageBitrate =
        double(info.bytes) * 8 * first.sampleRate / (double(info.frames) * first.samples) / 1000;
    if (averageBitrate < (first.mpeg1 ? 32 : 8) - 1 ||
        averageBitrate > (first.mpeg1 ? 320 : 160) + 1)
        return std::nullopt;
    int64_t samples = info.frames * first.samples;
    if (info.startPadding >= 0) {
        samples -= info.startPadding + kDecoderDelay;
        samples -= std::max<int64_t>(0, info.endPadding - kDecoderDelay);
    }
    return Mp3Length{std::max<int64_t>(samples, 0), first.sampleRate};
}

std::optional<Mp3Length> ConstantBitrateLength(AVIOContext &io, const FrameHeader &first,
                                               int64_t audioStart, int64_t audioEnd,
                                               const std::vector<int> &lastBitrates)
{
    for (const int each : lastBitrates) {
        if (each != first.bitrateKbps)
            return std::nullopt;
    }
    const int64_t audioBytes = audioEnd - audioStart;
    for (const int quarter : {1, 2, 3}) {
        if (!SameBitrateAround(io, audioStart + audioBytes / 4 * quarter, first.streamBits,
                               first.bitrateKbps))
            return std::nullopt;
    }
    // Padded and unpadded frames alternate so that the frames average out at this size.
    const double averageSize = first.samples / 8.0 * first.bitrateKbps * 1000 / first.sampleRate;
    const int64_t frames = std::llround(double(audioBytes) / averageSize);
    if (frames < kFewestFrames || std::abs(double(frames) * averageSize - double(audioBytes)) > 2)
        return std::nullopt;
    return Mp3Length{frames * first.samples, first.sampleRate};
}

} // namespace

std::optional<Mp3Length> Mp3LengthFromHeaders(AVIOContext &io)
{
    const int64_t fileSize = avio_size(&io);
    if (fileSize <= 0)
        return std::nullopt;
    const auto first = FirstFrame(io, AfterId3v2Tags(io));
    if (!first)
        return std::nullopt;
    const auto &[audioStart, header] = *first;
    const int64_t audioEnd = BeforeTrailingTags(io, fileSize);
    const std::optional<std::vector<int>> lastBitrates =
        LastFrames(io, audioStart, audioEnd, header.streamBits);
    if (!lastBitrates)
        return std::nullopt;
    const InfoHeader info = ReadInfoHeader(ReadAt(io, audioStart, header.size), header);
    if (info.found)
        return LengthFromInfo(info, header, audioEnd - audioStart);
    return ConstantBitrateLength(io, header, audioStart, audioEnd, *lastBitrates);
}
