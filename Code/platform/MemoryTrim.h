#pragma once

namespace platform {

// Returns unused heap memory to the operating system where the platform can; the result is
// of no interest to the caller.
void TrimWorkingSet();

} // namespace platform
