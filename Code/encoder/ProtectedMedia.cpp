#include "ProtectedMedia.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <vector>

namespace evc {
namespace {

using Guid = std::array<uint8_t, 16>;

// ASF object identifiers as they lie in the file.
constexpr Guid kAsfHeader = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                             0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kContentEncryption = {0xFB, 0xB3, 0x11, 0x22, 0x23, 0xBD, 0xD2, 0x11,
                                     0xB4, 0xB7, 0x00, 0xA0, 0xC9, 0x55, 0xFC, 0x6E};
constexpr Guid kExtendedContentEncryption = {0x14, 0xE6, 0x8A, 0x29, 0x22, 0x26, 0x17, 0x4C,
                                             0xB9, 0x35, 0xDA, 0xE0, 0x7E, 0xE9, 0x28, 0x9C};
constexpr Guid kAdvancedContentEncryption = {0x33, 0x85, 0x05, 0x43, 0x81, 0x69, 0xE6, 0x49,
                                             0x9B, 0x74, 0xAD, 0x12, 0xCB, 0x86, 0xD5, 0x8C};

// Headers are a few kilobytes; a larger figure is a damaged file, searched only this far.
constexpr uint64_t kLargestAsfHeader = 4 * 1024 * 1024;

bool Contains(const std::vector<uint8_t> &bytes, const Guid &guid)
{
    return std::search(bytes.begin(), bytes.end(), guid.begin(), guid.end()) != bytes.end();
}

bool AsfHeaderDeclaresEncryption(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> bytes(24);
    if (!file.read(reinterpret_cast<char *>(bytes.data()), 24) ||
        !std::equal(kAsfHeader.begin(), kAsfHeader.end(), bytes.begin()))
        return false;
    uint64_t size = 0;
    for (int i = 7; i >= 0; --i)
        size = size << 8 | bytes[16 + i];
    bytes.resize(std::min(size, kLargestAsfHeader));
    file.read(reinterpret_cast<char *>(bytes.data()) + 24,
              static_cast<std::streamsize>(bytes.size() > 24 ? bytes.size() - 24 : 0));
    bytes.resize(24 + static_cast<size_t>(file.gcount()));
    // The advanced (PlayReady) object sits inside the header extension, so the whole header is
    // searched rather than its top-level objects only.
    return Contains(bytes, kContentEncryption) || Contains(bytes, kExtendedContentEncryption) ||
           Contains(bytes, kAdvancedContentEncryption);
}

} // namespace

bool DeclaresRightsProtection(const AVFormatContext *format, const std::string &path)
{
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVCodecParameters *parameters = format->streams[i]->codecpar;
        if (parameters->codec_type == AVMEDIA_TYPE_AUDIO &&
            parameters->codec_tag == MKTAG('d', 'r', 'm', 's'))
            return true;
    }
    return std::string(format->iformat->name) == "asf" && AsfHeaderDeclaresEncryption(path);
}

} // namespace evc
