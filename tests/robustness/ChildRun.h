#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tqtest {

// The end of a child process run with a time limit.
struct ChildResult
{
    bool started = false;
    bool hung = false;  // still running at the time limit, then killed
    int exitCode = -1;  // 128 + signal when a signal ended it
    std::string output; // standard output and standard error together
};

// Runs arguments[0] with the arguments in `workingFolder` and kills it when it runs longer than
// `timeoutMs` without `onOutput` having reset the clock (onOutput returns true to reset it).
ChildResult RunChild(const std::vector<std::string> &arguments, const std::string &workingFolder,
                     int timeoutMs,
                     const std::function<bool(const std::string &)> &onOutput = nullptr);

// True when the output holds a report of AddressSanitizer, LeakSanitizer or UBSan.
bool HasSanitizerReport(const std::string &output);

// The lines of a text, without empty ones.
std::vector<std::string> NonEmptyLines(const std::string &text);

} // namespace tqtest
