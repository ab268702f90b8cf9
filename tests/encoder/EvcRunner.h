#pragma once

#include <string>
#include <vector>

namespace evctest {

// The evc built next to this test.
std::string EvcPath();

struct EvcRun
{
    int exitCode = -1;  // 124 or above: killed by a signal or by the watchdog
    std::string output; // standard output
    std::string errors; // standard error
};

// Runs evc with these arguments (each one argument, no shell interpretation) under a watchdog,
// in `workingFolder` when one is given.
EvcRun RunEvc(const std::vector<std::string> &arguments, int timeoutSeconds = 120,
              const std::string &workingFolder = "");

// Runs the argument lists two at a time and returns the results in the same order.
std::vector<EvcRun> RunEvcBatch(const std::vector<std::vector<std::string>> &jobs,
                                int timeoutSeconds = 120);

// Lines of a text, without their line ends; empty lines dropped.
std::vector<std::string> LinesOf(const std::string &text);

// True when `errors` is one line of the form "evc: ...".
bool IsOneClearLine(const std::string &errors);

} // namespace evctest
