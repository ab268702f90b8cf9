#include "preview/AvProbeEngine.h"

#include "support/MediaDemuxers.h"

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

int64_t TAvProbeEngine::ReadDurationMs(const AVFormatContext &input)
{
    if (input.duration != AV_NOPTS_VALUE && input.duration > 0)
        return input.duration / 1000; // microseconds
    int64_t longest = 0;
    for (unsigned i = 0; i < input.nb_streams; ++i) {
        const AVStream *stream = input.streams[i];
        if (stream->duration == AV_NOPTS_VALUE || stream->duration <= 0)
            continue;
        longest = std::max(longest, av_rescale_q(stream->duration, stream->time_base, {1, 1000}));
    }
    return longest;
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
    m_durationMs = ReadDurationMs(*input);
    m_loaded = true;
    return CountUndecodable(*input);
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
