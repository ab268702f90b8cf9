#pragma once

#include <string>

namespace evc {

// The highest absolute sample of a written audio file as its decoder gives it back, 1.0 being
// full scale. Throws EncoderError when the file cannot be read.
double DecodedPeak(const std::string &path);

} // namespace evc
