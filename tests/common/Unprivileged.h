#pragma once

#include <functional>

namespace tqtest {

// Runs `body` on a thread of its own that has given up the capabilities with which root reads,
// writes and searches any file, so file permissions stop that thread as they stop an ordinary
// user. The rest of the test process keeps its privileges. For an ordinary user the thread has
// nothing to give up. Returns false, with a test failure, when the capabilities could not be
// dropped; `body` has not run then.
bool RunWithFilePermissionsEnforced(const std::function<void()> &body);

} // namespace tqtest
