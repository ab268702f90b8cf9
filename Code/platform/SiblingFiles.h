#pragma once

namespace platform {

// Names of the files that lie beside the program in its folder. Messages quote these names.
inline constexpr const char *kEncoderFileName = "evc";
inline constexpr const char *kFormLibraryFileName = "Form.so";
inline constexpr const char *kResourceLibraryFileName = "Res.so";
inline constexpr const char *kHelpFileName = "Help.html";
inline constexpr const char *kConfigFolderName = "Config";

} // namespace platform
