#include "conversion/ConversionLib.h"

#include "conversion/EventPause.h"
#include "platform/ProcessTable.h"
#include "platform/SiblingFiles.h"
#include "support/AppFunc.h"

#include <QElapsedTimer>
#include <utility>

namespace {

QElapsedTimer &Clock()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock;
}

} // namespace

void TConversionLib::ConnectStopping(const TAppFunc &appFunc, Warning warn)
{
    m_appFunc = &appFunc;
    m_warn = std::move(warn);
}

void TConversionLib::Log(const std::string &message) const
{
    if (m_appFunc != nullptr)
        m_appFunc->WriteLog(message);
}

std::vector<platform::ProcessEntry> TConversionLib::OwnProcesses() const
{
    const platform::ProcessTable &table = m_lookup.ProcessTable();
    std::vector<platform::ProcessEntry> own;
    for (const platform::ProcessEntry &entry : table.Snapshot()) {
        if (m_own.IsRunningHere(entry) || m_own.IsLeftBehind(entry, table))
            own.push_back(entry);
    }
    return own;
}

long TConversionLib::FindProcessId(const std::string &imageName)
{
    const std::string wanted = TProcessLookup::UpperCase(imageName);
    long id = 0;
    for (const platform::ProcessEntry &entry : OwnProcesses()) {
        if (TProcessLookup::UpperCase(entry.imageName) == wanted)
            id = entry.id;
    }
    if (id == 0)
        Log("Get Process id error.");
    return id;
}

long TConversionLib::IsOwnEncoderRunning(const std::string &imageName) const
{
    const std::string wanted = TProcessLookup::UpperCase(imageName);
    for (const platform::ProcessEntry &entry : m_lookup.ProcessTable().Snapshot()) {
        if (m_own.IsRunningHere(entry) && TProcessLookup::UpperCase(entry.imageName) == wanted)
            return entry.id;
    }
    return 0;
}

bool TConversionLib::EnablePrivilege(const std::string &privilegeName, bool enable)
{
    return platform::EnablePrivilege(privilegeName, enable);
}

bool TConversionLib::TerminateProcessesNamed(const std::string &name)
{
    EnablePrivilege("SeDebugPrivilege", true);
    bool succeeded = false;
    for (const platform::ProcessEntry &entry : OwnProcesses()) {
        if (TProcessLookup::HasImageName(entry, name))
            succeeded = m_lookup.ProcessTable().Terminate(entry.id);
    }
    if (!succeeded)
        Log("Terminate process error.");
    return succeeded;
}

bool TConversionLib::TerminateUntilGone(const std::string &name, long long deadlineMs)
{
    bool attempted = false;
    while (FindProcessId(name) != 0) {
        if (attempted && (m_gaveUp || Clock().elapsed() >= deadlineMs)) {
            GiveUp(name);
            return false;
        }
        TerminateProcessesNamed(name);
        PauseProcessingEvents(m_timings.StopPollMs);
        attempted = true;
    }
    return true;
}

void TConversionLib::GiveUp(const std::string &name)
{
    Log("Stop encoder error. ->" + name + " could not be terminated.");
    if (m_gaveUp)
        return;
    m_gaveUp = true;
    if (m_warn)
        m_warn("The encoder process \"" + name +
               "\" could not be stopped. Please end it with the system's process monitor.");
}

void TConversionLib::StopEncoder(const std::string &nameOrPath)
{
    const long long deadline = Clock().elapsed() + m_timings.StopGiveUpMs;
    if (TerminateUntilGone(TProcessLookup::FileNamePart(nameOrPath), deadline))
        TerminateUntilGone(platform::kEncoderFileName, deadline);
}
