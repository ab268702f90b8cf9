#include "ChildRun.h"

#include "platform/ConsoleProcess.h"
#include "platform/ProcessTable.h"

#include <QElapsedTimer>
#include <sstream>

namespace tqtest {

ChildResult RunChild(const std::vector<std::string> &arguments, const std::string &workingFolder,
                     int timeoutMs, const std::function<bool(const std::string &)> &onOutput)
{
    ChildResult result;
    platform::ConsoleProcess process;
    if (!process.Start(arguments, workingFolder)) {
        result.output = process.Error();
        return result;
    }
    result.started = true;
    QElapsedTimer clock;
    clock.start();
    char buffer[4096];
    auto drain = [&] {
        for (std::size_t n; (n = process.ReadAvailable(buffer, sizeof buffer)) > 0;) {
            const std::string piece(buffer, n);
            result.output += piece;
            if (onOutput && onOutput(piece))
                clock.restart();
        }
    };
    while (process.IsRunning()) {
        process.WaitForOutput(50);
        drain();
        if (clock.elapsed() > timeoutMs) {
            result.hung = true;
            platform::SystemProcessTable().Terminate(process.ProcessId());
            while (process.IsRunning())
                process.WaitForOutput(20);
            break;
        }
    }
    drain();
    result.exitCode = process.ExitCode();
    return result;
}

bool HasSanitizerReport(const std::string &output)
{
    return output.find("AddressSanitizer") != std::string::npos ||
           output.find("LeakSanitizer") != std::string::npos ||
           output.find("runtime error:") != std::string::npos;
}

std::vector<std::string> NonEmptyLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

} // namespace tqtest
