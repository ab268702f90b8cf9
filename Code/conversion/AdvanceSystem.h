#pragma once

#include <functional>
#include <string>
#include <utility>

// Runs one console program from a command line and hands its output to a callback while it
// runs. Standard input is a pipe that nobody writes; standard output and standard error go to
// one pipe that is read without ever waiting.
class TAdvanceSystem
{
public:
    using OutputCallback = std::function<void(const std::string &)>;
    using StartCallback = std::function<void(long processId)>;

    static constexpr std::size_t kReadBlock = 1023;
    static constexpr std::size_t kBufferSize = 1025;

    // `programFolder` (ending with "/") becomes the child's working folder.
    explicit TAdvanceSystem(std::string programFolder, int pauseAfterOutputMs = 500);

    // Starts the command line, calls `callback` with the latest piece of output after each
    // reading pass that found output, and returns when the program has ended. False when it
    // could not be started; the callback is then never called.
    bool RunConsoleProcess(const std::string &commandLine, const OutputCallback &callback);
    // Told the process ID once the program has started, before any output is read.
    void OnStarted(StartCallback started) { m_started = std::move(started); }

    // This platform is not of the NT family.
    static bool IsWindowsNT() { return false; }

    // After a run: the program's exit code, the last text given to the callback, and why the
    // start failed.
    int ExitCode() const { return m_exitCode; }
    // The signal that ended the program, 0 when it ended by itself.
    int EndSignal() const { return m_endSignal; }
    const std::string &LastOutput() const { return m_lastOutput; }
    const std::string &StartError() const { return m_startError; }

private:
    std::string m_programFolder;
    int m_pauseAfterOutputMs;
    StartCallback m_started;
    int m_exitCode = 0;
    int m_endSignal = 0;
    std::string m_lastOutput;
    std::string m_startError;
};
