#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Keeping the screen saver and screen blanking off while a video plays. An interface: the real
// one is wired only in main, tests use a fake or none.
class ScreenSaverInhibitor
{
public:
    virtual ~ScreenSaverInhibitor() = default;
    // Holds the screen saver off until Release. False, with `error` filled, when refused.
    // Inhibiting again while held does nothing.
    virtual bool Inhibit(const std::string &reason, std::string *error) = 0;
    // Lets the screen saver run again; does nothing when not held.
    virtual void Release() = 0;
};

// Asks the desktop's org.freedesktop.ScreenSaver service on the session bus.
class FreedesktopScreenSaverInhibitor : public ScreenSaverInhibitor
{
public:
    explicit FreedesktopScreenSaverInhibitor(std::string applicationName);
    ~FreedesktopScreenSaverInhibitor() override;

    bool Inhibit(const std::string &reason, std::string *error) override;
    void Release() override;

private:
    std::string m_applicationName;
    bool m_held = false;
    uint32_t m_cookie = 0;
};

} // namespace platform
