#pragma once

#include <string>

namespace platform {

// Hands a document, folder or address to the desktop's default handler (browser, mail
// program, file manager). An address with a scheme ("https:", "mailto:", "file:") is passed as
// it is; anything else is taken as a local path. Abstract so tests can record the requests
// instead of opening windows; the real implementation is wired only in main().
class DesktopOpener
{
public:
    virtual ~DesktopOpener() = default;
    // Returns whether the desktop accepted the request; callers may ignore it.
    virtual bool Open(const std::string &target) = 0;
};

// True when `target` starts with a URL scheme such as "mailto:" or "https:".
bool HasUrlScheme(const std::string &target);

} // namespace platform
