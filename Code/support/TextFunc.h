#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Stateless text, number, size and time helpers shared by the whole program. All functions are
// static so they can be called through the class or through a service object composed from it.
class TTextFunc
{
public:
    // Splits at every occurrence of `delimiter`. Empty pieces between delimiters and a leading
    // empty piece are kept; a trailing delimiter gives no empty last piece; "" gives no pieces.
    static std::vector<std::string> SplitString(const std::string &text, char delimiter);

    // Lenient conversion: keeps digits, the first ".", the first "+" and the first "-" (a sign
    // counts only in first place) and drops everything else. Never fails; independent of the
    // locale. "1:30" gives 130, "1.2.3" gives 1.23, "abc" gives 0.
    static double TextToNumber(const std::string &text);

    // "1.5 KB", "117.73 MB": value cut (not rounded) to two decimals, the decimal separator of
    // the user's locale, units " B", " KB", " MB", " GB". Negative counts count as 0.
    static std::string FormatFileSize(int64_t bytes);
    static std::string FormatFileSize(int64_t bytes, const std::string &decimalSeparator);

    // "hh:mm:ss"; hours may have more than two digits; negative counts give "00:00:00".
    static std::string FormatTime(int64_t seconds);

    // value / divisor (64-bit, truncating) in decimal, left-padded with "0" to `width`.
    static std::string PadNumber(int64_t value, int64_t divisor, int width);

    // The decimal separator of the user's locale ("." when the locale gives none).
    static std::string UserDecimalSeparator();
};
