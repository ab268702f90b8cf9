#include "OutputPeak.h"

#include "AvResources.h"
#include "InputMedia.h"

#include <cmath>
#include <cstdint>

extern "C" {
#include <libavutil/samplefmt.h>
}

namespace evc {
namespace {

template <typename Sample> double PeakOf(const uint8_t *data, int count, double fullScale)
{
    const auto *samples = reinterpret_cast<const Sample *>(data);
    double peak = 0.0;
    for (int i = 0; i < count; ++i) {
        const double value = std::fabs(static_cast<double>(samples[i])) / fullScale;
        if (value > peak) // a NaN never counts
            peak = value;
    }
    return peak;
}

double FramePeak(const AVFrame *frame)
{
    const auto format = static_cast<AVSampleFormat>(frame->format);
    const int channels = frame->ch_layout.nb_channels;
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    const int planes = planar ? channels : 1;
    const int count = planar ? frame->nb_samples : frame->nb_samples * channels;
    double peak = 0.0;
    for (int p = 0; p < planes; ++p) {
        const uint8_t *data = frame->extended_data[p];
        switch (av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_FLT:
            peak = std::fmax(peak, PeakOf<float>(data, count, 1.0));
            break;
        case AV_SAMPLE_FMT_DBL:
            peak = std::fmax(peak, PeakOf<double>(data, count, 1.0));
            break;
        case AV_SAMPLE_FMT_S16:
            peak = std::fmax(peak, PeakOf<int16_t>(data, count, 32768.0));
            break;
        case AV_SAMPLE_FMT_S32:
            peak = std::fmax(peak, PeakOf<int32_t>(data, count, 2147483648.0));
            break;
        default: // no decoder of the output types gives other formats
            break;
        }
    }
    return peak;
}

} // namespace

double DecodedPeak(const std::string &path)
{
    InputMedia media(path);
    FramePtr frame = NewFrame();
    double peak = 0.0;
    while (media.NextFrame(frame.get())) {
        peak = std::fmax(peak, FramePeak(frame.get()));
        av_frame_unref(frame.get());
    }
    return peak;
}

} // namespace evc
