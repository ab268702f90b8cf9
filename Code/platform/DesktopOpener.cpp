#include "platform/DesktopOpener.h"

#include <cstddef>

namespace platform {

bool HasUrlScheme(const std::string &target)
{
    // A scheme is a letter followed by letters, digits, "+", "-" or "." and then ":"; a single
    // letter before ":" is not one, so "C:" style paths stay paths.
    const auto colon = target.find(':');
    if (colon == std::string::npos || colon < 2)
        return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(target[i]);
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!(letter || (i > 0 && other)))
            return false;
    }
    return true;
}

} // namespace platform
