#pragma once

#include "conversion/ConversionTimings.h"
#include "conversion/ConvertParameterStruct.h"
#include "conversion/ProcessLookup.h"

#include <functional>
#include <string>

class TAppFunc;

// The conversion part of the common library: the parameters of the latest command build and
// the stopping of the encoder.
class TConversionLib
{
public:
    using Warning = std::function<void(const std::string &)>;

    TConvertParameterStruct ConvertParameter;

    // Attached once the service objects exist. `warn` tells the user something went wrong.
    void ConnectStopping(const TAppFunc &appFunc, Warning warn);
    void UseProcessTable(platform::ProcessTable &table) { m_lookup.UseProcessTable(table); }
    void SetStopTimings(const TConversionTimings &timings) { m_timings = timings; }

    // Terminates every process of the file name of `nameOrPath` and every encoder process, and
    // returns when none is left. When processes remain after the give-up time of failed
    // attempts, it logs that, tells the user (once until ResetStopNotice) and returns.
    void StopEncoder(const std::string &nameOrPath);
    // The ID of a process of that image name (the last one listed), else 0 and a log line.
    long FindProcessId(const std::string &imageName);
    // Terminates every process whose image name, or its file-name part, equals `name`. True
    // when the last termination succeeded; else false and a log line.
    bool TerminateProcessesNamed(const std::string &name);
    // Enables or disables a privilege of the program's own process; true on success.
    bool EnablePrivilege(const std::string &privilegeName, bool enable);

    void ResetStopNotice() { m_gaveUp = false; }

private:
    bool TerminateUntilGone(const std::string &name, long long deadlineMs);
    void GiveUp(const std::string &name);
    void Log(const std::string &message) const;

    const TAppFunc *m_appFunc = nullptr;
    Warning m_warn;
    TProcessLookup m_lookup;
    TConversionTimings m_timings;
    bool m_gaveUp = false;
};
