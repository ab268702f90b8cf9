#pragma once

#include "AvResources.h"

#include <string>

namespace evc {

// The demuxers that evc opens: media containers and raw audio streams only. Playlists, lists of
// other files, devices and generators are left out, so a text file posing as media cannot make
// evc open further files.
const char *MediaDemuxerWhitelist();

// One source file opened for decoding its best audio stream. Only the file protocol is allowed.
class InputMedia
{
public:
    explicit InputMedia(const std::string &path); // throws EncoderError

    AVFormatContext *Format() const { return m_format.get(); }
    const AVStream *AudioStream() const { return m_format->streams[m_audioIndex]; }
    const AVCodecContext *Decoder() const { return m_decoder.get(); }

    // Length of the file in seconds, negative when the container does not tell.
    double DurationSeconds() const;

    // Moves near `seconds` (measured from the start of the file), at or before it.
    void SeekBefore(double seconds);

    // Time of a decoded frame in seconds from the start of the file, negative when unknown.
    double FrameSeconds(const AVFrame *frame) const;

    // Fills `frame` with the next decoded audio; false at the end of the input.
    bool NextFrame(AVFrame *frame);

    int64_t DecodeErrors() const { return m_decodeErrors; }

private:
    bool FeedDecoder();

    InputContextPtr m_format;
    CodecContextPtr m_decoder;
    PacketPtr m_packet;
    int m_audioIndex = -1;
    int64_t m_originMicroseconds = 0;
    bool m_draining = false;
    int64_t m_decodeErrors = 0;
};

} // namespace evc
