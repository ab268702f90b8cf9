#pragma once

#include <stdexcept>
#include <string>

namespace evc {

// A failure that ends the conversion. Its message is the one line the user sees.
class EncoderError : public std::runtime_error
{
public:
    explicit EncoderError(const std::string &message) : std::runtime_error(message) {}
};

// The libav error text for a negative result code, e.g. "Invalid data found when processing
// input".
std::string AvErrorText(int code);

// Throws EncoderError("<what>: <libav error text>") when `code` is negative; returns it otherwise.
int CheckAv(int code, const std::string &what);

} // namespace evc
