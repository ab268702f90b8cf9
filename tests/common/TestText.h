#pragma once

#include <cstdlib>
#include <string>

namespace tqtest {

// How often `needle` occurs in `text`, overlapping occurrences included.
inline int CountOf(const std::string &text, const std::string &needle)
{
    int count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + 1))
        ++count;
    return count;
}

// The folder of the built program (TQ_PROGRAM_DIR, set by ctest) with a trailing "/"; empty
// when the variable is not set.
inline std::string ProgramFolder()
{
    const char *folder = std::getenv("TQ_PROGRAM_DIR");
    std::string path = folder != nullptr ? folder : "";
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

} // namespace tqtest
