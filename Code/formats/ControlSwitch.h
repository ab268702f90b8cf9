#pragma once

// A control that can be enabled and disabled (a button, a list). The profile operations switch
// the main window's profile list and Options button through it, so they can run without windows.
class TControlSwitch
{
public:
    virtual ~TControlSwitch() = default;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
};
