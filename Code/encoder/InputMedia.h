#pragma once

#include "AvResources.h"

#include <optional>
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

    // Moves to a point shortly before `seconds` of playback, so that decoding from there loses
    // nothing at or after `seconds`. Where the landing cannot be confirmed (the search fails, lands
    // after that time, or the timestamps start again somewhere in the file), decoding starts
    // again from the beginning.
    void SeekBefore(double seconds);

    // Time of a decoded frame in seconds of playback (see support/PlaybackClock.h), negative
    // when unknown.
    double FrameSeconds(const AVFrame *frame) const;

    // Starts decoding again from the beginning of the file.
    void Rewind();

    // Where decoding starts or resumes, in seconds of playback: the audio's first timestamp, or
    // where a seek landed. It places the first frames when they carry no time.
    double ResumeSeconds() const { return m_resumeSeconds; }

    // Fills `frame` with the next decoded audio; false at the end of the input.
    bool NextFrame(AVFrame *frame);

    // Packets or frames the decoder refused, and frames it delivered.
    int64_t DecodeErrors() const { return m_decodeErrors; }
    int64_t DecodedFrames() const { return m_decodedFrames; }

private:
    // Where a search by time landed: the first timed audio packet there.
    struct Landing
    {
        int64_t position;
        int64_t timestamp; // AV_TIME_BASE units
    };

    void Open();
    void ResetDecoding();
    bool SeekToTime(double seconds);
    std::optional<Landing> PeekLanding();
    std::optional<int64_t> TimestampAtByte(int64_t position);
    bool TimestampsRiseThroughout(const Landing &landing);
    double SecondsOf(int64_t timestamp) const;
    bool ReadAudioPacket();
    void FeedDecoder();
    void SendToDecoder(const AVPacket *packet);
    bool SplitsAmrPackets() const;
    void SendNextAmrFrame();
    void TakeSilence(AVFrame *frame);

    std::string m_path;
    InputContextPtr m_format;
    CodecContextPtr m_decoder;
    PacketPtr m_packet;
    int m_audioIndex = -1;
    int64_t m_originMicroseconds = 0;
    double m_resumeSeconds = 0;
    bool m_draining = false;
    bool m_packetPending = false; // m_packet holds the next audio packet, read by a seek
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
