#pragma once

#include "platform/DesktopOpener.h"

#include <string>
#include <vector>

namespace tqtest {

// A desktop opener that records what it is asked to open instead of starting a browser, mail
// program or file manager. `Accept` is what Open() answers.
class RecordingDesktopOpener : public platform::DesktopOpener
{
public:
    bool Open(const std::string &target) override
    {
        Opened.push_back(target);
        return Accept;
    }

    std::vector<std::string> Opened;
    bool Accept = true;
};

} // namespace tqtest
