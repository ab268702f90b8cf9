#pragma once

#include <string>

// The encoder writes each output under a hidden name beside it and renames it to the output's
// name only when the file is complete, so a file under an output name is never a cut-off one.
// The encoder and the batch driver both name that file through these functions.

inline constexpr const char *kPartialOutputSuffix = ".evc-partial";

// "/out/song.mp3" -> "/out/.song.mp3.evc-partial". Its base name (".song.mp3") is never that
// of an output, so it cannot make an output name taken.
inline std::string PartialOutputPath(const std::string &outputPath)
{
    const std::string::size_type slash = outputPath.rfind('/');
    const std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
    return outputPath.substr(0, nameStart) + "." + outputPath.substr(nameStart) +
           kPartialOutputSuffix;
}

// True for a file name (without folder) that PartialOutputPath makes.
inline bool IsPartialOutputName(const std::string &fileName)
{
    const std::string suffix = kPartialOutputSuffix;
    return fileName.size() > suffix.size() + 1 && fileName[0] == '.' &&
           fileName.compare(fileName.size() - suffix.size(), suffix.size(), suffix) == 0;
}
