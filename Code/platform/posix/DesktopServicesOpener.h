#pragma once

#include "platform/DesktopOpener.h"

namespace platform {

// The desktop opener of a Linux desktop: QDesktopServices::openUrl, which goes to xdg-open
// or the desktop portal.
class DesktopServicesOpener : public DesktopOpener
{
public:
    bool Open(const std::string &target) override;
};

} // namespace platform
