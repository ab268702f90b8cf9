#pragma once

#include "conversion/ConversionTimings.h"
#include "conversion/ConvertParameterStruct.h"
#include "conversion/ProcessLookup.h"

#include <functional>
#include <string>
#include <vector>

class TAppFunc;

namespace platform {
struct ProcessEntry;
}

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
    // The encoder beside the program: copies of it left behind by a crash are ended by Stop.
    void SetEncoderPath(const std::string &encoderPath) { m_own.SetEncoderPath(encoderPath); }
    // The process ID of the encoder the batch driver has started; 0 once it has ended.
    void SetRunningEncoder(long processId) { m_own.SetRunningEncoder(processId); }

    // Stopping looks only at this program's own encoders (see TOwnEncoders): the one it runs
    // and those a crashed run of it left behind, never another program's processes.
    //
    // Terminates those of the file name of `nameOrPath` and then every one of the encoder, and
    // returns when none is left. When some remain after the give-up time of failed attempts,
    // it logs that, tells the user (once until ResetStopNotice) and returns.
    void StopEncoder(const std::string &nameOrPath);
    // The ID of an own process of that image name (the last one listed), else 0 and a log line.
    long FindProcessId(const std::string &imageName);
    // Terminates every own process whose image name, or its file-name part, equals `name`. True
    // when the last termination succeeded; else false and a log line.
    bool TerminateProcessesNamed(const std::string &name);
    // The ID of the encoder the batch driver runs, while it runs and is named `imageName`; else 0.
    long IsOwnEncoderRunning(const std::string &imageName) const;
    // Enables or disables a privilege of the program's own process; true on success.
    bool EnablePrivilege(const std::string &privilegeName, bool enable);

    void ResetStopNotice() { m_gaveUp = false; }

private:
    std::vector<platform::ProcessEntry> OwnProcesses() const;
    bool TerminateUntilGone(const std::string &name, long long deadlineMs);
    void GiveUp(const std::string &name);
    void Log(const std::string &message) const;

    const TAppFunc *m_appFunc = nullptr;
    Warning m_warn;
    TProcessLookup m_lookup;
    TOwnEncoders m_own;
    TConversionTimings m_timings;
    bool m_gaveUp = false;
};
