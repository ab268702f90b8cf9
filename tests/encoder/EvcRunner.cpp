#include "EvcRunner.h"

#include "ProgramRun.h"

#include <atomic>
#include <thread>

namespace evctest {

std::string EvcPath()
{
    return EVC_PATH;
}

EvcRun RunEvc(const std::vector<std::string> &arguments, int timeoutSeconds,
              const std::string &workingFolder)
{
    std::vector<std::string> command = {EvcPath()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    tqtest::ProgramOptions options;
    options.workingFolder = workingFolder;
    options.timeoutMs = timeoutSeconds * 1000;
    options.mergeErrors = false;
    const tqtest::ProgramRun ran = tqtest::RunProgram(command, options);
    EvcRun run;
    run.exitCode = ran.exitCode;
    run.output = ran.output;
    run.errors = ran.started ? ran.errors : ran.problem;
    return run;
}

std::vector<EvcRun> RunEvcBatch(const std::vector<std::vector<std::string>> &jobs,
                                int timeoutSeconds)
{
    std::vector<EvcRun> results(jobs.size());
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++)
            results[i] = RunEvc(jobs[i], timeoutSeconds);
    };
    std::thread helper(worker);
    worker();
    helper.join();
    return results;
}

std::vector<std::string> LinesOf(const std::string &text)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            if (!line.empty())
                lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

bool IsOneClearLine(const std::string &errors)
{
    const std::vector<std::string> lines = LinesOf(errors);
    return lines.size() == 1 && lines[0].rfind("evc: ", 0) == 0 && lines[0].size() > 12;
}

} // namespace evctest
