#pragma once

#include "shell/RecSoftInfo.h"

#include <string>

namespace platform {
class DesktopOpener;
}

// The four actions of the top row that reach outside the program: the help page, the home
// page, an e-mail to the support address and the About box of Form.so. None reports a failure.
class TSystemActions
{
public:
    // `info` is read at the moment of each action; `application` is handed to Form.so.
    TSystemActions(const RecSoftInfo &info, platform::DesktopOpener &opener, void *application);

    void OpenHelp() const;
    void OpenHomePage() const;
    void SendEMail() const;
    // Loads Form.so from AppPath, calls its ShowAboutForm and releases it; silent when the
    // library or the export is missing.
    void ShowAbout() const;

private:
    const RecSoftInfo &m_info;
    platform::DesktopOpener &m_opener;
    void *m_application;
};
