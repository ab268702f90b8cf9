#include "support/TextFunc.h"

#include "support/StrFunc.h"

#include <QLocale>
#include <charconv>
#include <limits>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Digits, the first ".", the first "+" and the first "-", in their order.
std::string KeptCharacters(const std::string &text)
{
    std::string kept;
    bool seenPoint = false;
    bool seenPlus = false;
    bool seenMinus = false;
    for (const char c : text) {
        if (IsDigit(c)) {
            kept += c;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            kept += c;
        } else if (c == '+' && !seenPlus) {
            seenPlus = true;
            kept += c;
        } else if (c == '-' && !seenMinus) {
            seenMinus = true;
            kept += c;
        }
    }
    return kept;
}

// Reads digits with at most one "." (no sign); 0 when there is no digit.
double ReadUnsignedDecimal(const std::string &text)
{
    bool anyDigit = false;
    bool anyNonZeroInteger = false;
    bool inFraction = false;
    for (const char c : text) {
        inFraction = inFraction || c == '.';
        anyDigit = anyDigit || IsDigit(c);
        anyNonZeroInteger = anyNonZeroInteger || (!inFraction && IsDigit(c) && c != '0');
    }
    if (!anyDigit)
        return 0.0;
    double value = 0.0;
    const auto result =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range)
        return anyNonZeroInteger ? std::numeric_limits<double>::infinity() : 0.0;
    return result.ec == std::errc() ? value : 0.0;
}

std::string Digits(int64_t value)
{
    return std::to_string(value);
}

} // namespace

std::vector<std::string> TTextFunc::SplitString(const std::string &text, char delimiter)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t found = text.find(delimiter); found != std::string::npos;
         found = text.find(delimiter, start)) {
        pieces.push_back(text.substr(start, found - start));
        start = found + 1;
    }
    if (start < text.size())
        pieces.push_back(text.substr(start));
    return pieces;
}

double TTextFunc::TextToNumber(const std::string &text)
{
    const std::string kept = KeptCharacters(TStrFunc::Trim(text));
    if (kept.size() < 2)
        return kept.size() == 1 && IsDigit(kept[0]) ? kept[0] - '0' : 0.0;

    // A sign counts only in first place; later signs are dropped.
    const char first = kept[0];
    std::string rest;
    if (first != '+' && first != '-')
        rest += first;
    for (size_t i = 1; i < kept.size(); ++i) {
        if (kept[i] != '+' && kept[i] != '-')
            rest += kept[i];
    }
    const double value = ReadUnsignedDecimal(rest);
    return first == '-' ? -value : value;
}

std::string TTextFunc::FormatFileSize(int64_t bytes)
{
    return FormatFileSize(bytes, UserDecimalSeparator());
}

std::string TTextFunc::FormatFileSize(int64_t bytes, const std::string &decimalSeparator)
{
    static const char *const units[] = {" B", " KB", " MB", " GB"};
    constexpr int64_t oneGigabyte = int64_t(1) << 30;
    const int64_t count = bytes < 0 ? 0 : bytes;

    // The unit is chosen as by repeated division by 1024; the value is then cut to hundredths
    // in integer arithmetic, so no rounding can lift it (1048575 bytes stay 1023.99 KB).
    int unit = 0;
    if (count >= oneGigabyte) {
        unit = 3;
    } else {
        while (unit < 3 && count >= (int64_t(1) << (10 * (unit + 1))))
            ++unit;
    }
    const auto hundredths =
        static_cast<int64_t>((static_cast<unsigned __int128>(count) * 100) >> (10 * unit));
    const double value = static_cast<double>(hundredths) / 100;

    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    const size_t point = text.find('.');
    if (point != std::string::npos)
        text.replace(point, 1, decimalSeparator);
    return text + units[unit];
}

std::string TTextFunc::FormatTime(int64_t seconds)
{
    // Works in whole seconds, which gives the same texts as millisecond arithmetic without
    // overflowing for very large counts.
    if (seconds < 0)
        seconds = 0;
    const int64_t hours = seconds / 3600;
    const int64_t minutes = seconds % 3600 / 60;
    const int64_t rest = seconds % 60;
    return PadNumber(hours, 1, 2) + ":" + PadNumber(minutes, 1, 2) + ":" + PadNumber(rest, 1, 2);
}

std::string TTextFunc::PadNumber(int64_t value, int64_t divisor, int width)
{
    // A zero divisor would crash the program; the value is then written undivided. The one
    // quotient that does not fit (the smallest value divided by -1) is written as the value.
    const bool divisible =
        divisor != 0 && !(divisor == -1 && value == std::numeric_limits<int64_t>::min());
    std::string text = Digits(divisible ? value / divisor : value);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<size_t>(width) - text.size(), '0');
    return text;
}

std::string TTextFunc::UserDecimalSeparator()
{
    const std::string separator = QLocale::system().decimalPoint().toStdString();
    return separator.empty() ? std::string(".") : separator;
}
