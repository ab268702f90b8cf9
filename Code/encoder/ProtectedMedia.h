#pragma once

#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

namespace evc {

// True when the file says that its content is encrypted for digital rights management: the
// header of an ASF file (WMA, WMV) holds a content-encryption object, or an MP4 audio track is
// a protected ('drms') one. Such audio decodes to noise or not at all.
bool DeclaresRightsProtection(const AVFormatContext *format, const std::string &path);

} // namespace evc
