#pragma once

#include <cstdint>
#include <optional>

struct AVIOContext;

// The length of an MPEG audio layer III stream from its headers and its last bytes, without
// reading the frames between: the Xing/Info or VBRI header's frame count where the header's byte
// count matches the file, or the frame size of a constant-bitrate stream. The samples are those
// libavcodec plays, LAME's encoder delay and padding removed as the mp3 demuxer has it removed.
// Nothing when the headers do not fit the file (a cut-off download, a lying header, a variable
// bitrate without a table, frames that do not run to the end): then only reading every frame
// tells.
struct Mp3Length
{
    int64_t samples = 0;
    int sampleRate = 0;
};

std::optional<Mp3Length> Mp3LengthFromHeaders(AVIOContext &io);
