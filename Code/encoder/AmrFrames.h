#pragma once

#include <cstdint>

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace evc {

// AMR storage frames (one header byte, then the speech bits). 3GP and 3G2 files from phones pack
// several frames into one sample, and libavcodec's AMR decoders decode only the first frame of a
// packet, so evc hands them one frame at a time.

bool IsAmr(AVCodecID codec);

// Samples of one frame: 20 ms at 8000 Hz (narrowband) or 16000 Hz (wideband).
int AmrFrameSamples(AVCodecID codec);

// Bytes of the frame that begins with `header`, the header byte included.
int AmrFrameBytes(AVCodecID codec, uint8_t header);

// True when the frame carries speech; comfort-noise, lost and no-data frames do not.
bool AmrFrameHasSpeech(AVCodecID codec, uint8_t header);

} // namespace evc
