#pragma once

#include <string>

namespace platform {

// Renames a file within one file system. Without `replace` the rename fails, leaving both
// files alone, when something exists at `to` already, and nothing can come between the check
// and the rename. False with the system's reason in `error` on failure.
bool MoveFile(const std::string &from, const std::string &to, bool replace,
              std::string *error = nullptr);

} // namespace platform
