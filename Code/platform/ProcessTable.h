#pragma once

#include <string>
#include <vector>

namespace platform {

// One entry of the system's process list.
struct ProcessEntry
{
    long id = 0;
    long parentId = 0;
    std::string imageName; // file name of the running program, e.g. "evc"
    std::string imagePath; // its full path with links resolved; empty when it cannot be read
};

// The environment variable in which every child started through ConsoleProcess carries the ID
// of the process that started it, so that a child left behind by a starter that has ended can
// be told from one whose starter still runs.
constexpr const char *kStarterVariable = "TQ_STARTED_BY";

// The system's process list and the termination of a listed process. An interface, so tests
// can restrict what a walk sees to the processes they started themselves.
class ProcessTable
{
public:
    virtual ~ProcessTable() = default;
    // The processes that run now; ended processes that were not yet reaped are left out.
    virtual std::vector<ProcessEntry> Snapshot() const = 0;
    // Ends the process at once. False when it does not exist or may not be ended.
    virtual bool Terminate(long processId) = 0;
    // The starter's ID that the process carries in kStarterVariable; 0 when it carries none or
    // its environment cannot be read (another user's process).
    virtual long StarterOf(long processId) const = 0;
};

// The real process list of this machine.
class SystemProcessTable : public ProcessTable
{
public:
    std::vector<ProcessEntry> Snapshot() const override;
    bool Terminate(long processId) override;
    long StarterOf(long processId) const override;
};

long CurrentProcessId();

// Removes the starter mark this process may have inherited, so that the programs it starts by
// other means than ConsoleProcess (a file manager, a shell from there) do not carry it.
void ForgetInheritedStarterMark();

// Enabling a privilege of the process's own token: this platform has no such tokens, so it
// succeeds without doing anything.
bool EnablePrivilege(const std::string &privilegeName, bool enable);

} // namespace platform
