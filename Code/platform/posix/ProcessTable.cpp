#include "platform/ProcessTable.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <signal.h>
#include <string>
#include <unistd.h>

namespace platform {
namespace {

bool IsNumber(const char *text)
{
    if (*text == '\0')
        return false;
    for (; *text; ++text) {
        if (!std::isdigit(static_cast<unsigned char>(*text)))
            return false;
    }
    return true;
}

std::string FileNamePart(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The program file's path from the exe link; a program file replaced while it runs is shown
// by the kernel with " (deleted)" after its path.
std::string ImagePathFromExe(const std::string &folder)
{
    char target[PATH_MAX];
    const ssize_t length = readlink((folder + "/exe").c_str(), target, sizeof target - 1);
    if (length <= 0)
        return {};
    std::string path(target, static_cast<std::size_t>(length));
    const std::string deleted = " (deleted)";
    if (path.size() > deleted.size() &&
        path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0)
        path.erase(path.size() - deleted.size());
    return path;
}

// Reads the short name, state and parent from /proc/<pid>/stat: "pid (comm) S ppid ...";
// the name may itself hold blanks and parentheses, so it ends at the last ')'.
bool ReadStat(const std::string &folder, std::string &comm, char &state, long &parentId)
{
    std::ifstream file(folder + "/stat");
    std::string line;
    if (!std::getline(file, line))
        return false;
    const auto open = line.find('(');
    const auto close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open ||
        close + 4 > line.size())
        return false;
    comm = line.substr(open + 1, close - open - 1);
    state = line[close + 2];
    parentId = std::strtol(line.c_str() + close + 4, nullptr, 10);
    return true;
}

} // namespace

std::vector<ProcessEntry> SystemProcessTable::Snapshot() const
{
    std::vector<ProcessEntry> entries;
    DIR *proc = opendir("/proc");
    if (proc == nullptr)
        return entries;
    while (dirent *item = readdir(proc)) {
        if (!IsNumber(item->d_name))
            continue;
        const std::string folder = std::string("/proc/") + item->d_name;
        std::string comm;
        char state = '?';
        ProcessEntry entry;
        if (!ReadStat(folder, comm, state, entry.parentId))
            continue; // ended while the walk ran
        if (state == 'Z' || state == 'X')
            continue; // ended, only waiting to be reaped
        entry.id = std::strtol(item->d_name, nullptr, 10);
        entry.imagePath = ImagePathFromExe(folder);
        entry.imageName = FileNamePart(entry.imagePath);
        if (entry.imageName.empty())
            entry.imageName = comm; // another user's process, or a kernel thread
        entries.push_back(entry);
    }
    closedir(proc);
    return entries;
}

bool SystemProcessTable::Terminate(long processId)
{
    if (processId <= 0)
        return false;
    return kill(static_cast<pid_t>(processId), SIGKILL) == 0;
}

long SystemProcessTable::StarterOf(long processId) const
{
    if (processId <= 0)
        return 0;
    std::ifstream file("/proc/" + std::to_string(processId) + "/environ", std::ios::binary);
    const std::string prefix = std::string(kStarterVariable) + "=";
    std::string variable;
    while (std::getline(file, variable, '\0')) {
        if (variable.compare(0, prefix.size(), prefix) == 0)
            return std::strtol(variable.c_str() + prefix.size(), nullptr, 10);
    }
    return 0;
}

long CurrentProcessId()
{
    return static_cast<long>(getpid());
}

void ForgetInheritedStarterMark()
{
    unsetenv(kStarterVariable);
}

bool EnablePrivilege(const std::string &, bool)
{
    return true;
}

} // namespace platform
