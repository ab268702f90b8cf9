// SplitString at any delimiter: the pieces put back together with the delimiter give the text
// (less one trailing delimiter), and no piece holds the delimiter.
#include "FuzzCheck.h"
#include "support/TextFunc.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    if (size == 0)
        return 0;
    const char delimiter = static_cast<char>(data[0]);
    const std::string text = tqfuzz::AsText(data + 1, size - 1);
    const std::vector<std::string> pieces = TTextFunc::SplitString(text, delimiter);

    if (text.empty()) {
        FUZZ_CHECK(pieces.empty());
        return 0;
    }
    std::string joined;
    for (size_t i = 0; i < pieces.size(); ++i) {
        FUZZ_CHECK(pieces[i].find(delimiter) == std::string::npos);
        if (i > 0)
            joined += delimiter;
        joined += pieces[i];
    }
    const bool trailingDelimiter = text.back() == delimiter;
    FUZZ_CHECK(joined + (trailingDelimiter ? std::string(1, delimiter) : "") == text);
    // Only the last piece may be missing, and only after a trailing delimiter.
    if (!trailingDelimiter)
        FUZZ_CHECK(!pieces.back().empty());
    return 0;
}
