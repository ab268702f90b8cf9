#pragma once

#include <stdexcept>

// A text that should hold a number does not: "'<text>' is not a valid integer value".
class EConvertError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
