#pragma once

#include "AvResources.h"

namespace evc {

// The tags that are carried from the source to the output.
inline const char *const kCopiedTagKeys[] = {"title", "artist", "album",  "date",
                                             "genre", "track",  "comment"};

// Collects the copied tags from the container and the audio stream of the source (Ogg and some
// others keep them on the stream). The caller frees the result with av_dict_free.
AVDictionary *CollectTags(const AVFormatContext *source, const AVStream *audio);

// The source's cover picture (an attached picture in JPEG or PNG of known size), or nullptr.
const AVStream *FindCoverPicture(const AVFormatContext *source);

} // namespace evc
