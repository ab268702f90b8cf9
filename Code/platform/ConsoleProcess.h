#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// One child process whose standard input is a pipe that nobody writes and whose standard output
// and standard error share one pipe that the caller reads. The child runs in a session of its
// own and carries this process's ID in kStarterVariable (ProcessTable.h). Nothing here ever
// waits: the output is read only as far as it is already there, and the end of the child is
// polled.
class ConsoleProcess
{
public:
    ConsoleProcess();
    ~ConsoleProcess();
    ConsoleProcess(const ConsoleProcess &) = delete;
    ConsoleProcess &operator=(const ConsoleProcess &) = delete;

    // Starts arguments[0] (a path) with the given arguments in `workingFolder`. Returns false
    // when a pipe or the process could not be created; `Error()` then says why.
    bool Start(const std::vector<std::string> &arguments, const std::string &workingFolder);

    // True until the child has ended and been reaped; afterwards `ExitCode()` holds its code
    // (128 + the signal number when a signal ended it).
    bool IsRunning();
    int ExitCode() const { return m_exitCode; }
    // The signal that ended the child, 0 when it ended by itself.
    int EndSignal() const { return m_endSignal; }

    // Number of output bytes waiting in the pipe.
    std::size_t BytesWaiting() const;

    // Removes up to `capacity` waiting bytes into `buffer`. Returns how many were read; 0 when
    // nothing is waiting (it never waits for more).
    std::size_t ReadAvailable(char *buffer, std::size_t capacity);

    // Waits at most `milliseconds` for output to arrive or the pipe to close.
    void WaitForOutput(int milliseconds) const;

    long ProcessId() const { return m_pid; }
    const std::string &Error() const { return m_error; }

private:
    void CloseAll();
    void Reap(bool wait);

    long m_pid = 0;
    bool m_reaped = true;
    int m_exitCode = 0;
    int m_endSignal = 0;
    int m_outputRead = -1;
    int m_inputWrite = -1;
    std::string m_error;
};

} // namespace platform
