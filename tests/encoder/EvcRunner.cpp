#include "EvcRunner.h"

#include "TestFolder.h"
#include "TestMedia.h"

#include <atomic>
#include <cstdio>
#include <sys/wait.h>
#include <thread>

namespace evctest {

std::string EvcPath()
{
    return EVC_PATH;
}

EvcRun RunEvc(const std::vector<std::string> &arguments, int timeoutSeconds,
              const std::string &workingFolder)
{
    static tqtest::TestFolder folder;
    static std::atomic<int> counter{0};
    const std::string errorFile = folder.File("stderr" + std::to_string(counter++) + ".txt");

    std::string command =
        "timeout -s KILL " + std::to_string(timeoutSeconds) + " " + tqtest::ShellQuote(EvcPath());
    for (const std::string &argument : arguments)
        command += " " + tqtest::ShellQuote(argument);
    command += " </dev/null 2>" + tqtest::ShellQuote(errorFile);
    if (!workingFolder.empty())
        command = "cd " + tqtest::ShellQuote(workingFolder) + " && " + command;

    EvcRun run;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, count);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.errors = tqtest::ReadWholeFile(errorFile);
    std::remove(errorFile.c_str());
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
