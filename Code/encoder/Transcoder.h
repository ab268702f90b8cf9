#pragma once

#include "EncoderOptions.h"
#include "ProgressReporter.h"

#include <cstdint>

namespace evc {

struct TranscodeSummary
{
    double seconds = 0;     // length of the output
    int64_t bytes = 0;      // size of the output file
    double peaksHeldDb = 0; // how far the limiter held the loudest peak under the gain
};

// Converts the input of `options` into its output. Throws EncoderError; an output file that was
// created is removed again when the conversion fails.
TranscodeSummary Transcode(const EncoderOptions &options, ProgressReporter &reporter);

// "hh:mm:ss" (with a fraction when there is one) for messages.
std::string TimeText(double seconds);

} // namespace evc
