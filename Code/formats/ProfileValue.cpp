#include "formats/ProfileValue.h"

#include "formats/ConvertError.h"
#include "support/TextFunc.h"

#include <cctype>

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower >= 'a' && lower <= 'f')
        return lower - 'a' + 10;
    return -1;
}

bool ParseInteger(const std::string &text, int32_t *result)
{
    size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    int base = 10;
    if (pos < text.size() && text[pos] == '$') {
        base = 16;
        ++pos;
    } else if (pos + 1 < text.size() && text[pos] == '0' &&
               (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    if (pos >= text.size())
        return false;
    int64_t value = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = HexDigit(text[pos]);
        if (digit < 0 || digit >= base)
            return false;
        value = value * base + digit;
        if (value > int64_t{1} << 32)
            return false;
    }
    if (negative)
        value = -value;
    // Hexadecimal texts may spell the whole 32-bit pattern, as in $FFFFFFFF for -1.
    if (base == 16 && !negative && value <= UINT32_MAX)
        value = static_cast<int32_t>(static_cast<uint32_t>(value));
    if (value < INT32_MIN || value > INT32_MAX)
        return false;
    *result = static_cast<int32_t>(value);
    return true;
}

} // namespace

std::string TProfileValue::FromSelections(const TOptionLists &lists)
{
    std::string text;
    for (TChoiceList *list : lists.ProfileFieldLists()) {
        if (!text.empty())
            text += '|';
        text += std::to_string(list->ItemIndex());
    }
    return text;
}

std::optional<TProfileValue::Fields> TProfileValue::Parse(const std::string &text,
                                                          const std::string &skipField)
{
    const std::vector<std::string> parts = TTextFunc::SplitString(text, '|');
    if (parts.size() != kFieldCount)
        return std::nullopt;
    Fields fields;
    for (size_t i = 0; i < kFieldCount; ++i) {
        if (parts[i] != skipField)
            fields[i] = StrToInt(parts[i]);
    }
    return fields;
}

void TProfileValue::Apply(const Fields &fields, const TOptionLists &lists)
{
    const auto targets = lists.ProfileFieldLists();
    for (size_t i = 0; i < kFieldCount; ++i) {
        if (fields[i])
            targets[i]->SetItemIndex(*fields[i]);
    }
}

int32_t TProfileValue::StrToInt(const std::string &text)
{
    int32_t value = 0;
    if (!ParseInteger(text, &value))
        throw EConvertError("'" + text + "' is not a valid integer value");
    return value;
}
