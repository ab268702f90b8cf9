#pragma once

#include "platform/DesktopOpener.h"

#include <string>
#include <vector>

namespace tqtest {

// A desktop opener that records what it is asked to open instead of starting a browser, mail
// program or file manager. `accept` is what Open() answers; each request is also noted as
// "open <target>" in `events` when a test follows the order of several fakes.
class RecordingDesktopOpener : public platform::DesktopOpener
{
public:
    bool Open(const std::string &target) override
    {
        opened.push_back(target);
        if (events != nullptr)
            events->push_back("open " + target);
        return accept;
    }

    std::vector<std::string> opened;
    bool accept = true;
    std::vector<std::string> *events = nullptr;
};

} // namespace tqtest
