// TextToNumber on any text: never fails, never gives NaN, and agrees with a plain reading of
// the kept characters (digits, the first ".", a leading sign) in the C locale. The time texts
// that FormatTime writes read back to the hours, minutes and seconds written.
#include "FuzzCheck.h"
#include "support/TextFunc.h"

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The number text: digits and the first "." in order, a first "+" or "-" only as a sign.
double ReferenceValue(const std::string &text)
{
    size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 32)
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32)
        --last;
    std::string kept;
    bool point = false, plus = false, minus = false;
    for (size_t i = first; i < last; ++i) {
        const char c = text[i];
        if ((c >= '0' && c <= '9') || (c == '.' && !point) || (c == '+' && !plus) ||
            (c == '-' && !minus))
            kept += c;
        point = point || c == '.';
        plus = plus || c == '+';
        minus = minus || c == '-';
    }
    bool negative = false;
    std::string number;
    for (size_t i = 0; i < kept.size(); ++i) {
        if (kept[i] == '+' || kept[i] == '-') {
            negative = negative || (i == 0 && kept[i] == '-');
            continue;
        }
        number += kept[i];
    }
    if (number.find_first_of("0123456789") == std::string::npos)
        return 0.0;
    const double value = std::strtod(number.c_str(), nullptr);
    return negative ? -value : value;
}

void CheckTimeTextReadsBack(int64_t seconds)
{
    const std::string text = TTextFunc::FormatTime(seconds);
    const std::vector<std::string> parts = TTextFunc::SplitString(text, ':');
    FUZZ_CHECK(parts.size() == 3);
    const int64_t s = seconds < 0 ? 0 : seconds;
    // Doubles hold every whole number of hours up to 2^53 exactly.
    if (s / 3600 < (int64_t(1) << 53))
        FUZZ_CHECK(TTextFunc::TextToNumber(parts[0]) == static_cast<double>(s / 3600));
    FUZZ_CHECK(TTextFunc::TextToNumber(parts[1]) == static_cast<double>(s % 3600 / 60));
    FUZZ_CHECK(TTextFunc::TextToNumber(parts[2]) == static_cast<double>(s % 60));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const std::string text = tqfuzz::AsText(data, size);
    const double value = TTextFunc::TextToNumber(text);
    FUZZ_CHECK(!std::isnan(value));
    const double expected = ReferenceValue(text);
    FUZZ_CHECK(value == expected || (value == 0 && expected == 0));

    if (size >= 8) {
        int64_t seconds = 0;
        std::memcpy(&seconds, data, sizeof seconds);
        CheckTimeTextReadsBack(seconds);
        FUZZ_CHECK(!TTextFunc::FormatFileSize(seconds).empty());
    }
    return 0;
}
