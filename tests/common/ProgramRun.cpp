#include "ProgramRun.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace tqtest {

namespace {

// The reading end of a pipe and where its text goes.
struct Stream
{
    int fd;
    std::string *text;
};

class SpawnActions
{
public:
    SpawnActions() { posix_spawn_file_actions_init(&m_actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&m_actions); }
    SpawnActions(const SpawnActions &) = delete;
    SpawnActions &operator=(const SpawnActions &) = delete;
    posix_spawn_file_actions_t *Get() { return &m_actions; }

private:
    posix_spawn_file_actions_t m_actions;
};

void CloseIfOpen(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// Reads the streams until the writers have closed all of them or `deadline` passes; false when
// the deadline passed first. Closes the streams it finished.
bool ReadUntilClosed(std::vector<Stream> &streams, std::chrono::steady_clock::time_point deadline)
{
    char buffer[4096];
    while (true) {
        std::vector<pollfd> waiting;
        for (const Stream &stream : streams)
            if (stream.fd >= 0)
                waiting.push_back({stream.fd, POLLIN, 0});
        if (waiting.empty())
            return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            return false;
        if (::poll(waiting.data(), waiting.size(), static_cast<int>(left)) < 0 && errno != EINTR)
            return false;
        for (Stream &stream : streams) {
            if (stream.fd < 0)
                continue;
            const ssize_t count = ::read(stream.fd, buffer, sizeof buffer);
            if (count > 0)
                stream.text->append(buffer, static_cast<size_t>(count));
            else if (count == 0 || (errno != EAGAIN && errno != EINTR))
                CloseIfOpen(stream.fd);
        }
    }
}

// Waits for the program's end, killing it at `deadline`; false when it had to be killed.
bool AwaitEnd(pid_t pid, std::chrono::steady_clock::time_point deadline, int *status)
{
    bool killed = false;
    while (true) {
        const pid_t ended = ::waitpid(pid, status, killed ? 0 : WNOHANG);
        if (ended == pid || (ended < 0 && errno != EINTR))
            return !killed;
        if (ended == 0 && std::chrono::steady_clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            killed = true;
        } else if (ended == 0) {
            ::usleep(10000);
        }
    }
}

int ExitCodeOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

} // namespace

ProgramRun RunProgram(const std::vector<std::string> &arguments, const ProgramOptions &options)
{
    ProgramRun run;
    if (arguments.empty()) {
        run.problem = "no program given";
        return run;
    }
    int output[2] = {-1, -1};
    int errors[2] = {-1, -1};
    if (::pipe2(output, O_CLOEXEC | O_NONBLOCK) != 0 ||
        (!options.mergeErrors && ::pipe2(errors, O_CLOEXEC | O_NONBLOCK) != 0)) {
        run.problem = std::string("pipe: ") + std::strerror(errno);
        for (int *fd : {&output[0], &output[1], &errors[0], &errors[1]})
            CloseIfOpen(*fd);
        return run;
    }
    SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.Get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(actions.Get(), output[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(actions.Get(), options.mergeErrors ? output[1] : errors[1],
                                     STDERR_FILENO);
    if (!options.workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(actions.Get(), options.workingFolder.c_str());

    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], actions.Get(), nullptr, argv.data(), environ);
    CloseIfOpen(output[1]);
    CloseIfOpen(errors[1]);
    if (spawned != 0) {
        run.problem = arguments[0] + ": " + std::strerror(spawned);
        CloseIfOpen(output[0]);
        CloseIfOpen(errors[0]);
        return run;
    }
    run.started = true;

    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(options.timeoutMs);
    std::vector<Stream> streams = {{output[0], &run.output}, {errors[0], &run.errors}};
    const bool allRead = ReadUntilClosed(streams, deadline);
    if (!allRead)
        ::kill(pid, SIGKILL);
    for (Stream &stream : streams)
        CloseIfOpen(stream.fd);
    int status = 0;
    run.timedOut = !AwaitEnd(pid, deadline, &status) || !allRead;
    run.exitCode = ExitCodeOf(status);
    return run;
}

} // namespace tqtest
