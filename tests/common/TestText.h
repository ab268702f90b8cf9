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

// TQ_ROBUSTNESS_SCALE: how many times the usual number of rounds the robustness tests run; 1
// when unset or below 1.
inline int RobustnessScale()
{
    const char *text = std::getenv("TQ_ROBUSTNESS_SCALE");
    const int scale = text != nullptr ? std::atoi(text) : 1;
    return scale < 1 ? 1 : scale;
}

} // namespace tqtest
