#pragma once

#include "AvResources.h"
#include "CodecFitting.h"

#include <memory>
#include <string>

namespace evc {

// One audio encoder as the pipeline sees it: frames of FrameSize() samples in SampleFormat()
// go in, packets with timestamps in 1/SampleRate() come out. The libavcodec encoders and the
// AMR-NB encoder of opencore both stand behind it.
class AudioEncoder
{
public:
    virtual ~AudioEncoder() = default;

    virtual std::string Name() const = 0;
    virtual int FrameSize() const = 0; // 0: any number of samples per frame
    virtual AVSampleFormat SampleFormat() const = 0;
    virtual int SampleRate() const = 0;
    virtual int Channels() const = 0;
    virtual int64_t BitRate() const = 0;
    virtual void FillParameters(AVCodecParameters *parameters) const = 0;

    // Hands over one frame, or nullptr once at the end to flush the encoder.
    virtual void Send(const AVFrame *frame) = 0;
    // Takes the next ready packet; false when none is ready now (or none is left after flushing).
    virtual bool Receive(AVPacket *packet) = 0;
};

// Opens the encoder for the fitted settings. `globalHeader` is set when the container keeps the
// codec configuration in its header (MP4). Throws EncoderError.
std::unique_ptr<AudioEncoder> OpenAudioEncoder(const AudioSettings &settings, bool globalHeader);

// True when the codec opens with these settings (used to fit Vorbis bitrates).
bool EncoderAccepts(const AudioSettings &settings);

} // namespace evc
