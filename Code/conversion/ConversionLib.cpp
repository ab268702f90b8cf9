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

long TConversionLib::FindProcessId(const std::string &imageName)
{
    const long id = m_lookup.IsProcessRunning(imageName);
    if (id == 0)
        Log("Get Process id error.");
    return id;
}

bool TConversionLib::EnablePrivilege(const std::string &privilegeName, bool enable)
{
    return platform::EnablePrivilege(privilegeName, enable);
}

bool TConversionLib::TerminateProcessesNamed(const std::string &name)
{
    EnablePrivilege("SeDebugPrivilege", true);
    const std::string wanted = TProcessLookup::UpperCase(name);
    platform::ProcessTable &table = m_lookup.ProcessTable();
    bool succeeded = false;
    for (const platform::ProcessEntry &entry : table.Snapshot()) {
        const std::string image = TProcessLookup::UpperCase(entry.imageName);
        if (TProcessLookup::FileNamePart(image) == wanted || image == wanted)
            succeeded = table.Terminate(entry.id);
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
