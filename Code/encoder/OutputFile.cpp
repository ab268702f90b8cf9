#include "OutputFile.h"

#include "EncoderError.h"
#include "platform/FileMove.h"
#include "support/PartialOutput.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

namespace evc {
namespace {

std::string LowerExtension(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

struct OutputKind
{
    const char *muxer;
    const char *codec;
};

const std::map<std::string, OutputKind> &OutputKinds()
{
    static const std::map<std::string, OutputKind> kinds = {
        {".amr", {"amr", "amr_nb"}},    {".aac", {"adts", "aac"}}, {".mp3", {"mp3", "mp3"}},
        {".ac3", {"ac3", "ac3"}},       {".m4a", {"ipod", "aac"}}, {".ogg", {"ogg", "vorbis"}},
        {".wav", {"wav", "pcm_s16le"}},
    };
    return kinds;
}

// Opens a plain file for writing, whatever its name looks like to libavformat.
int OpenForWriting(AVIOContext **context, const std::string &path)
{
    AVDictionary *options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int opened =
        avio_open2(context, ("file:" + path).c_str(), AVIO_FLAG_WRITE, nullptr, &options);
    av_dict_free(&options);
    return opened;
}

} // namespace

const char *MuxerForPath(const std::string &path)
{
    const auto found = OutputKinds().find(LowerExtension(path));
    return found == OutputKinds().end() ? nullptr : found->second.muxer;
}

std::string DefaultCodecForPath(const std::string &path)
{
    const auto found = OutputKinds().find(LowerExtension(path));
    return found == OutputKinds().end() ? "" : found->second.codec;
}

bool MuxerHoldsCover(const std::string &muxer)
{
    return muxer == "mp3" || muxer == "ipod";
}

OutputFile::OutputFile(const std::string &path, const std::string &muxer, bool replace)
    : m_path(path), m_writePath(PartialOutputPath(path)), m_replace(replace)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        m_writePath = path;
    // Found out now rather than when the finished file is to take its name.
    if (path.size() - partialoutput::NameStart(path) > kLongestFileName)
        throw EncoderError("cannot create \"" + path + "\": " + AvErrorText(AVERROR(ENAMETOOLONG)));
    CheckAv(avformat_alloc_output_context2(&m_context, nullptr, muxer.c_str(), path.c_str()),
            "cannot prepare the " + muxer + " output");
}

OutputFile::~OutputFile()
{
    if (m_created && m_context->pb)
        avio_closep(&m_context->pb);
    // Only a regular file is removed: a device such as /dev/null given as output stays.
    std::error_code error;
    if (m_created && !m_complete && std::filesystem::is_regular_file(m_writePath, error))
        std::filesystem::remove(m_writePath, error);
    avformat_free_context(m_context);
}

bool OutputFile::NeedsGlobalHeader() const
{
    return (m_context->oformat->flags & AVFMT_GLOBALHEADER) != 0;
}

bool OutputFile::Accepts(AVCodecID codec) const
{
    return codec == m_context->oformat->audio_codec ||
           avformat_query_codec(m_context->oformat, codec, FF_COMPLIANCE_NORMAL) == 1;
}

void OutputFile::AddAudioStream(const AudioEncoder &encoder)
{
    m_audio = avformat_new_stream(m_context, nullptr);
    if (!m_audio)
        throw EncoderError("out of memory");
    encoder.FillParameters(m_audio->codecpar);
    m_audioTimeBase = AVRational{1, encoder.SampleRate()};
    m_audio->time_base = m_audioTimeBase;
}

void OutputFile::SetTags(const AVDictionary *tags)
{
    CheckAv(av_dict_copy(&m_context->metadata, tags, 0), "out of memory");
    // Ogg keeps the tags in the stream's comment header.
    if (m_audio && std::string(m_context->oformat->name) == "ogg")
        CheckAv(av_dict_copy(&m_audio->metadata, tags, 0), "out of memory");
}

void OutputFile::AddCover(const AVStream *picture)
{
    m_cover = avformat_new_stream(m_context, nullptr);
    if (!m_cover)
        throw EncoderError("out of memory");
    CheckAv(avcodec_parameters_copy(m_cover->codecpar, picture->codecpar), "out of memory");
    m_cover->codecpar->codec_tag = 0;
    // The picture's own tags hold its kind, e.g. "Cover (front)".
    CheckAv(av_dict_copy(&m_cover->metadata, picture->metadata, 0), "out of memory");
    m_cover->disposition = AV_DISPOSITION_ATTACHED_PIC;
    m_cover->time_base = AVRational{1, 90000};
    m_coverPacket = NewPacket();
    CheckAv(av_packet_ref(m_coverPacket.get(), &picture->attached_pic), "out of memory");
}

void OutputFile::Create()
{
    int opened = OpenForWriting(&m_context->pb, m_writePath);
    // A file system with shorter names than usual takes the short hidden name.
    if (opened == AVERROR(ENAMETOOLONG) && m_writePath != m_path &&
        m_writePath != ShortPartialOutputPath(m_path)) {
        m_writePath = ShortPartialOutputPath(m_path);
        opened = OpenForWriting(&m_context->pb, m_writePath);
    }
    // The messages name the output, not the hidden file the user never sees.
    if (opened < 0)
        throw EncoderError("cannot create \"" + m_path + "\": " + AvErrorText(opened));
    m_created = true;
    CheckAv(avformat_write_header(m_context, nullptr), "cannot write the output header");
    if (m_cover) {
        m_coverPacket->stream_index = m_cover->index;
        m_coverPacket->pts = m_coverPacket->dts = 0;
        m_coverPacket->flags |= AV_PKT_FLAG_KEY;
        CheckAv(av_interleaved_write_frame(m_context, m_coverPacket.get()),
                "cannot write the cover picture");
    }
}

void OutputFile::WriteAudio(AVPacket *packet)
{
    if (!m_created)
        Create();
    packet->stream_index = m_audio->index;
    av_packet_rescale_ts(packet, m_audioTimeBase, m_audio->time_base);
    CheckAv(av_interleaved_write_frame(m_context, packet), "cannot write to the output");
}

void OutputFile::Close()
{
    if (!m_created)
        throw EncoderError("no audio was written");
    CheckAv(av_write_trailer(m_context), "cannot finish the output");
    m_finalBytes = std::max<int64_t>(0, avio_tell(m_context->pb));
    const int error = m_context->pb->error;
    CheckAv(avio_closep(&m_context->pb), "cannot close the output");
    if (error < 0)
        throw EncoderError("cannot write to the output: " + AvErrorText(error));
    m_closed = true;
}

void OutputFile::Publish()
{
    std::string reason;
    if (m_writePath != m_path && !platform::MoveFile(m_writePath, m_path, m_replace, &reason)) {
        if (!m_replace && std::filesystem::exists(m_path))
            throw EncoderError("the output \"" + m_path +
                               "\" appeared while converting (give -y to overwrite it)");
        throw EncoderError("cannot give the output its name \"" + m_path + "\": " + reason);
    }
    m_complete = true;
}

int64_t OutputFile::BytesWritten() const
{
    if (m_closed)
        return m_finalBytes;
    if (!m_created || !m_context->pb)
        return 0;
    return std::max<int64_t>(0, avio_tell(m_context->pb));
}

} // namespace evc
