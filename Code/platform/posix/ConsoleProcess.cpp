#include "platform/ConsoleProcess.h"

#include "platform/ProcessTable.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace platform {
namespace {

void CloseIfOpen(int &fd)
{
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

std::string ErrnoText(const char *what, int error)
{
    return std::string(what) + ": " + std::strerror(error);
}

// Owns the spawn attributes and file actions so every path releases them.
struct SpawnSetup
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    SpawnSetup()
    {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
};

// This process's environment for a child, with the child's starter mark naming this process in
// place of any mark this process inherited from its own starter.
std::vector<std::string> ChildEnvironment()
{
    const std::string prefix = std::string(kStarterVariable) + "=";
    std::vector<std::string> variables;
    for (char **variable = environ; *variable != nullptr; ++variable) {
        if (std::strncmp(*variable, prefix.c_str(), prefix.size()) != 0)
            variables.emplace_back(*variable);
    }
    variables.push_back(prefix + std::to_string(getpid()));
    return variables;
}

std::vector<char *> PointersTo(std::vector<std::string> &texts)
{
    std::vector<char *> pointers;
    pointers.reserve(texts.size() + 1);
    for (std::string &text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ConsoleProcess::ConsoleProcess() = default;

ConsoleProcess::~ConsoleProcess()
{
    if (!m_reaped) {
        // The owner gave the child up while it still ran: do not leave it behind.
        kill(static_cast<pid_t>(m_pid), SIGKILL);
        Reap(true);
    }
    CloseAll();
}

void ConsoleProcess::CloseAll()
{
    CloseIfOpen(m_outputRead);
    CloseIfOpen(m_inputWrite);
}

bool ConsoleProcess::Start(const std::vector<std::string> &arguments,
                           const std::string &workingFolder)
{
    m_error.clear();
    if (arguments.empty()) {
        m_error = "empty command line";
        return false;
    }
    int input[2];
    if (pipe2(input, O_CLOEXEC) != 0) {
        m_error = ErrnoText("input pipe", errno);
        return false;
    }
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) {
        m_error = ErrnoText("output pipe", errno);
        close(input[0]);
        close(input[1]);
        return false;
    }

    SpawnSetup setup;
    posix_spawn_file_actions_adddup2(&setup.actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&setup.actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&setup.actions, output[1], STDERR_FILENO);
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&setup.actions, workingFolder.c_str());
    posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSID);

    std::vector<std::string> argumentTexts = arguments;
    const std::vector<char *> argv = PointersTo(argumentTexts);
    std::vector<std::string> environmentTexts = ChildEnvironment();
    const std::vector<char *> envp = PointersTo(environmentTexts);

    pid_t pid = 0;
    const int result =
        posix_spawn(&pid, argv[0], &setup.actions, &setup.attributes, argv.data(), envp.data());
    // The child holds its own copies of its ends; the parent keeps only what it uses.
    close(input[0]);
    close(output[1]);
    if (result != 0) {
        m_error = ErrnoText(arguments[0].c_str(), result);
        close(input[1]);
        close(output[0]);
        return false;
    }
    fcntl(output[0], F_SETFL, fcntl(output[0], F_GETFL) | O_NONBLOCK);
    CloseAll();
    m_outputRead = output[0];
    m_inputWrite = input[1];
    m_pid = pid;
    m_reaped = false;
    m_exitCode = 0;
    m_endSignal = 0;
    return true;
}

void ConsoleProcess::Reap(bool wait)
{
    if (m_reaped)
        return;
    int status = 0;
    pid_t result;
    do {
        result = waitpid(static_cast<pid_t>(m_pid), &status, wait ? 0 : WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0)
        return;
    m_reaped = true;
    if (result < 0)
        m_exitCode = -1;
    else if (WIFEXITED(status))
        m_exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status)) {
        m_exitCode = 128 + WTERMSIG(status);
        m_endSignal = WTERMSIG(status);
    }
}

bool ConsoleProcess::IsRunning()
{
    Reap(false);
    return !m_reaped;
}

std::size_t ConsoleProcess::BytesWaiting() const
{
    if (m_outputRead < 0)
        return 0;
    int count = 0;
    if (ioctl(m_outputRead, FIONREAD, &count) != 0 || count < 0)
        return 0;
    return static_cast<std::size_t>(count);
}

std::size_t ConsoleProcess::ReadAvailable(char *buffer, std::size_t capacity)
{
    if (m_outputRead < 0 || capacity == 0)
        return 0;
    ssize_t count;
    do {
        count = read(m_outputRead, buffer, capacity);
    } while (count < 0 && errno == EINTR);
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

void ConsoleProcess::WaitForOutput(int milliseconds) const
{
    if (m_outputRead < 0 || milliseconds <= 0)
        return;
    pollfd entry{m_outputRead, POLLIN, 0};
    poll(&entry, 1, milliseconds);
}

} // namespace platform
