#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// The encoder writes each output under a hidden name beside it and renames it to the output's
// name only when the file is complete, so a file under an output name is never a cut-off one.
// The encoder and the batch driver both name that file through these functions.

inline constexpr const char *kPartialOutputSuffix = ".evc-partial";
// The longest file name, in bytes, that the usual file systems take (ext4, XFS, Btrfs, tmpfs).
inline constexpr std::string::size_type kLongestFileName = 255;

namespace partialoutput {

inline std::string::size_type NameStart(const std::string &outputPath)
{
    const std::string::size_type slash = outputPath.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

} // namespace partialoutput

// "/out/song.mp3" -> "/out/.1f0c5a9e27b3d468.evc-partial": a short hidden name made from the
// output's name (FNV-1a), for an output whose name leaves no room for the usual one.
inline std::string ShortPartialOutputPath(const std::string &outputPath)
{
    const std::string::size_type nameStart = partialoutput::NameStart(outputPath);
    uint64_t hash = 14695981039346656037ull;
    for (std::string::size_type i = nameStart; i < outputPath.size(); ++i) {
        hash ^= static_cast<unsigned char>(outputPath[i]);
        hash *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return outputPath.substr(0, nameStart) + "." + hex + kPartialOutputSuffix;
}

// "/out/song.mp3" -> "/out/.song.mp3.evc-partial". Its base name (".song.mp3") is never that
// of an output, so it cannot make an output name taken. The hidden name is 13 bytes longer than
// the output's; where that is more than a file name can hold, it is the short one.
inline std::string PartialOutputPath(const std::string &outputPath)
{
    const std::string::size_type nameStart = partialoutput::NameStart(outputPath);
    const std::string name = "." + outputPath.substr(nameStart) + kPartialOutputSuffix;
    if (name.size() > kLongestFileName)
        return ShortPartialOutputPath(outputPath);
    return outputPath.substr(0, nameStart) + name;
}

// True for a file name (without folder) that PartialOutputPath makes.
inline bool IsPartialOutputName(const std::string &fileName)
{
    const std::string suffix = kPartialOutputSuffix;
    return fileName.size() > suffix.size() + 1 && fileName[0] == '.' &&
           fileName.compare(fileName.size() - suffix.size(), suffix.size(), suffix) == 0;
}
