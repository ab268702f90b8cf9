#include "MediaTags.h"

#include <string>

namespace evc {
namespace {

const AVDictionaryEntry *FindTag(const AVDictionary *tags, const char *key)
{
    const AVDictionaryEntry *entry = av_dict_get(tags, key, nullptr, 0);
    return entry && entry->value && entry->value[0] ? entry : nullptr;
}

} // namespace

AVDictionary *CollectTags(const AVFormatContext *source, const AVStream *audio)
{
    AVDictionary *tags = nullptr;
    for (const char *key : kCopiedTagKeys) {
        const AVDictionaryEntry *entry = FindTag(source->metadata, key);
        if (!entry && audio)
            entry = FindTag(audio->metadata, key);
        if (!entry && key == std::string("date"))
            entry = FindTag(source->metadata, "year");
        if (entry)
            av_dict_set(&tags, key, entry->value, 0);
    }
    return tags;
}

const AVStream *FindCoverPicture(const AVFormatContext *source)
{
    for (unsigned i = 0; i < source->nb_streams; ++i) {
        const AVStream *stream = source->streams[i];
        if (!(stream->disposition & AV_DISPOSITION_ATTACHED_PIC) || stream->attached_pic.size <= 0)
            continue;
        // A picture the demuxer could not read has no size, and the muxers refuse a picture
        // without one; leaving it out keeps the conversion going.
        if (stream->codecpar->width <= 0 || stream->codecpar->height <= 0)
            continue;
        const AVCodecID codec = stream->codecpar->codec_id;
        if (codec == AV_CODEC_ID_MJPEG || codec == AV_CODEC_ID_PNG)
            return stream;
    }
    return nullptr;
}

} // namespace evc
