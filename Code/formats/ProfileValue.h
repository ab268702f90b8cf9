#pragma once

#include "formats/ProfileControls.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// A profile value string: six list indexes joined by "|" in the field order of
// TOptionLists::ProfileFieldLists.
class TProfileValue
{
public:
    static constexpr size_t kFieldCount = 6;
    // One index per field; no value leaves that list alone.
    using Fields = std::array<std::optional<int>, kFieldCount>;

    // The selected positions of the six lists, -1 for a list without selection.
    static std::string FromSelections(const TOptionLists &lists);

    // Splits `text` at "|". Fields equal to `skipField` are left out; every other field must
    // be an integer, else EConvertError. nullopt when the text has not exactly six fields.
    static std::optional<Fields> Parse(const std::string &text, const std::string &skipField);

    // Selects the given indexes; an index outside its list leaves that list without selection.
    static void Apply(const Fields &fields, const TOptionLists &lists);

    // Decimal with optional sign, or hexadecimal after "$" or "0x", within 32 bits; leading
    // blanks are allowed. Anything else throws EConvertError.
    static int32_t StrToInt(const std::string &text);
};
