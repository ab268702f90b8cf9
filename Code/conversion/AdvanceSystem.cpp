#include "conversion/AdvanceSystem.h"

#include "conversion/EventPause.h"
#include "platform/CommandLine.h"
#include "platform/ConsoleProcess.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// While the program writes nothing the loop waits this long for output before it looks at the
// program again, serving the windows in between, instead of spinning.
constexpr int kIdleWaitMs = 20;

std::string WithoutTrailingSeparator(std::string folder)
{
    if (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

// Output is taken as single-byte text up to its first zero byte.
std::string TextOf(const char *buffer, std::size_t count)
{
    return std::string(buffer, strnlen(buffer, count));
}

} // namespace

TAdvanceSystem::TAdvanceSystem(std::string programFolder, int pauseAfterOutputMs)
    : m_programFolder(std::move(programFolder)), m_pauseAfterOutputMs(pauseAfterOutputMs)
{
}

bool TAdvanceSystem::RunConsoleProcess(const std::string &commandLine,
                                       const OutputCallback &callback)
{
    m_exitCode = 0;
    m_endSignal = 0;
    m_lastOutput.clear();
    m_startError.clear();

    platform::ConsoleProcess process;
    if (!process.Start(platform::SplitCommandLine(commandLine),
                       WithoutTrailingSeparator(m_programFolder))) {
        m_startError = process.Error();
        return false;
    }
    if (m_started)
        m_started(process.ProcessId());

    std::string text;
    char buffer[kBufferSize];
    bool running = true;
    do {
        // The end is looked at before the pipe, so output written just before the end is
        // still read and delivered in the last pass.
        running = process.IsRunning();
        const std::size_t waiting = process.BytesWaiting();
        const std::size_t peeked = std::min(waiting, kReadBlock);
        if (peeked == 0) {
            if (running) {
                process.WaitForOutput(kIdleWaitMs);
                QCoreApplication::processEvents();
            }
            continue;
        }
        std::memset(buffer, 0, sizeof buffer);
        if (waiting <= kReadBlock) {
            const std::size_t count = process.ReadAvailable(buffer, kReadBlock);
            text = TextOf(buffer, count);
        } else {
            // Only the last block is kept. A read that finds the pipe empty (the waiting
            // output was an exact multiple of the block) returns at once and keeps the block
            // before it.
            std::size_t count;
            do {
                std::memset(buffer, 0, sizeof buffer);
                count = process.ReadAvailable(buffer, kReadBlock);
                if (count > 0)
                    text = TextOf(buffer, count);
            } while (count == kReadBlock);
        }
        m_lastOutput = text;
        if (callback)
            callback(text);
        PauseProcessingEvents(m_pauseAfterOutputMs);
    } while (running);

    m_exitCode = process.ExitCode();
    m_endSignal = process.EndSignal();
    return true;
}
