#include "AmrFrames.h"

namespace evc {
namespace {

// Frame sizes by frame type (bits 3 to 6 of the header byte), header byte included. Types
// without payload (lost or no data) still take their one header byte.
constexpr int kNarrowbandBytes[16] = {13, 14, 16, 18, 20, 21, 27, 32, 6, 1, 1, 1, 1, 1, 1, 1};
constexpr int kWidebandBytes[16] = {18, 24, 33, 37, 41, 47, 51, 59, 61, 6, 1, 1, 1, 1, 1, 1};

// The first frame type that is not speech: 8 (SID) narrowband, 9 (SID) wideband.
constexpr int kNarrowbandSpeechModes = 8;
constexpr int kWidebandSpeechModes = 9;

int FrameType(uint8_t header)
{
    return (header >> 3) & 0x0F;
}

} // namespace

bool IsAmr(AVCodecID codec)
{
    return codec == AV_CODEC_ID_AMR_NB || codec == AV_CODEC_ID_AMR_WB;
}

int AmrFrameSamples(AVCodecID codec)
{
    return codec == AV_CODEC_ID_AMR_WB ? 320 : 160;
}

int AmrFrameBytes(AVCodecID codec, uint8_t header)
{
    const int type = FrameType(header);
    return codec == AV_CODEC_ID_AMR_WB ? kWidebandBytes[type] : kNarrowbandBytes[type];
}

bool AmrFrameHasSpeech(AVCodecID codec, uint8_t header)
{
    const int type = FrameType(header);
    return type < (codec == AV_CODEC_ID_AMR_WB ? kWidebandSpeechModes : kNarrowbandSpeechModes);
}

} // namespace evc
