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

// The output file. It is written under a hidden name beside the output (PartialOutputPath) from
// the first packet on, and takes the output's name only when it is complete; so a conversion
// that fails, or is killed, never leaves a cut-off file under the output's name. A file left
// unfinished by an error is removed again. An output that exists and is not a regular file (a
// device such as /dev/null) is written directly.
class OutputFile
{
public:
    // Without `replace`, completing the file fails when the output's name has been taken in the
    // meantime. Throws EncoderError.
    OutputFile(const std::string &path, const std::string &muxer, bool replace = false);
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
    // Ends the file and gives it the output's name; after this it is complete and stays.
    void Finish()
    {
        Close();
        Publish();
    }
    // Ends the file under its hidden name, where it can still be checked (WrittenPath) and is
    // removed again unless published.
    void Close();
    void Publish();
    const std::string &WrittenPath() const { return m_writePath; }
    // False when the output is a device written directly, which cannot be read back.
    bool WritesHiddenFile() const { return m_writePath != m_path; }

    bool Created() const { return m_created; }
    int64_t BytesWritten() const;

private:
    void Create();

    std::string m_path;
    std::string m_writePath; // where the file is written until it is complete
    bool m_replace;
    AVFormatContext *m_context = nullptr;
    AVStream *m_audio = nullptr;
    AVStream *m_cover = nullptr;
    PacketPtr m_coverPacket;
    AVRational m_audioTimeBase{1, 1};
    bool m_created = false;
    bool m_closed = false;
    bool m_complete = false;
    int64_t m_finalBytes = 0;
};

} // namespace evc
