#pragma once

#include <string>

// Small text utilities.
class TStrFunc
{
public:
    // The text after the last `separator`; the whole text when it does not occur.
    static std::string AfterLast(const std::string &text, char separator);

    // Equality of two UTF-8 texts without regard to letter case.
    static bool SameText(const std::string &a, const std::string &b);
};
