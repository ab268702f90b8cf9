#pragma once

#include <string>
#include <vector>

namespace tqtest {

struct ProgramOptions
{
    std::string workingFolder; // the test's own when empty
    int timeoutMs = 120000;    // then the program is killed
    bool mergeErrors = true;   // standard error into `output`; else into `errors`
};

struct ProgramRun
{
    bool started = false;
    bool timedOut = false;
    int exitCode = -1;   // 128 + the signal number when a signal ended the program
    std::string output;  // standard output
    std::string errors;  // standard error, when not merged
    std::string problem; // why the program could not be started
};

// Runs arguments[0] (a path, or a name looked up in PATH) with the arguments, each passed as it
// is: no shell sees them. Standard input is empty.
ProgramRun RunProgram(const std::vector<std::string> &arguments,
                      const ProgramOptions &options = ProgramOptions());

} // namespace tqtest
