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

    // Moves near `seconds` (measured from the start of the audio), at or before it. Files whose
    // timestamps may start again stay at their start.
    void SeekBefore(double seconds);

    // Time of a decoded frame in seconds from the start of the audio, negative when unknown.
    double FrameSeconds(const AVFrame *frame) const;

    // Fills `frame` with the next decoded audio; false at the end of the input.
    bool NextFrame(AVFrame *frame);

    // Packets or frames the decoder refused, and frames it delivered.
    int64_t DecodeErrors() const { return m_decodeErrors; }
    int64_t DecodedFrames() const { return m_decodedFrames; }

private:
    void FeedDecoder();
    void SendToDecoder(const AVPacket *packet);
    bool SplitsAmrPackets() const;
    void SendNextAmrFrame();
    void TakeSilence(AVFrame *frame);

    InputContextPtr m_format;
    CodecContextPtr m_decoder;
    PacketPtr m_packet;
    int m_audioIndex = -1;
    int64_t m_originMicroseconds = 0;
    bool m_draining = false;
    int64_t m_decodeErrors = 0;
    int64_t m_decodedFrames = 0;

    // An AMR packet being handed to the decoder one frame at a time.
    PacketPtr m_amrPacket;
    int m_amrOffset = 0;
    int m_amrFrameIndex = 0;
    // A frame period without speech (comfort noise, no data) that is due as silence.
    int m_silentSamples = 0;
    int64_t m_silencePts = AV_NOPTS_VALUE;
};

} // namespace evc
