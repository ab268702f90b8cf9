#pragma once

#include "AudioEncoder.h"
#include "AvResources.h"

#include <string>

namespace evc {

// The muxer for each output extension, e.g. ".m4a" -> "ipod"; nullptr for an unknown one.
const char *MuxerForPath(const std::string &path);
// The codec name that an output extension gets when no -acodec is given.
std::string DefaultCodecForPath(const std::string &path);
// True when the output container can hold a cover picture (MP3 and M4A).
bool MuxerHoldsCover(const std::string &muxer);

// The output file. It is created on the first packet, so a conversion that fails before any audio
// is ready leaves no file; a file left unfinished by an error is removed again.
class OutputFile
{
public:
    OutputFile(const std::string &path, const std::string &muxer); // throws EncoderError
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    bool NeedsGlobalHeader() const;
    bool Accepts(AVCodecID codec) const;
    void AddAudioStream(const AudioEncoder &encoder);
    void SetTags(const AVDictionary *tags);
    void AddCover(const AVStream *picture);

    // Writes one encoded packet (timestamps in 1/sample rate of the audio).
    void WriteAudio(AVPacket *packet);
    // Ends the file; after this it is complete and stays.
    void Finish();

    bool Created() const { return m_created; }
    int64_t BytesWritten() const;

private:
    void Create();

    std::string m_path;
    AVFormatContext *m_context = nullptr;
    AVStream *m_audio = nullptr;
    AVStream *m_cover = nullptr;
    PacketPtr m_coverPacket;
    AVRational m_audioTimeBase{1, 1};
    bool m_created = false;
    bool m_complete = false;
    int64_t m_finalBytes = 0;
};

} // namespace evc
