#pragma once

#include <string>

// Small text utilities.
class TStrFunc
{
public:
    // The text after the last `separator`; the whole text when it does not occur.
    static std::string AfterLast(const std::string &text, char separator);

    // The text without leading and trailing blanks and control characters (codes 0 to 32).
    static std::string Trim(const std::string &text);

    // Equality of two UTF-8 texts without regard to letter case.
    static bool SameText(const std::string &a, const std::string &b);
};
