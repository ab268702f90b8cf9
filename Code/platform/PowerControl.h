#pragma once

#include <string>

namespace platform {

// Powering the computer off. An interface: the real one is wired only in main, tests record.
class PowerControl
{
public:
    virtual ~PowerControl() = default;
    // Asks the system to power off. False, with `error` filled, when the request was refused.
    virtual bool PowerOff(std::string *error) = 0;
};

// Asks the login manager (logind) over the system bus to power the machine off.
class LogindPowerControl : public PowerControl
{
public:
    bool PowerOff(std::string *error) override;
};

} // namespace platform
