#include "shell/SystemActions.h"

#include "platform/DesktopOpener.h"
#include "platform/DynamicLibrary.h"
#include "platform/SiblingFiles.h"
#include "siblings/FormApi.h"

TSystemActions::TSystemActions(const RecSoftInfo &info, platform::DesktopOpener &opener,
                               void *application)
    : m_info(info), m_opener(opener), m_application(application)
{
}

void TSystemActions::OpenHelp() const
{
    m_opener.Open(m_info.AppPath + platform::kHelpFileName);
}

void TSystemActions::OpenHomePage() const
{
    m_opener.Open(m_info.HomePage);
}

void TSystemActions::SendEMail() const
{
    m_opener.Open("mailto:" + m_info.EMail);
}

void TSystemActions::ShowAbout() const
{
    const platform::DynamicLibrary library(m_info.AppPath + platform::kFormLibraryFileName);
    const auto showAboutForm = library.FindFunction<ShowAboutFormFunc>(TQ_SHOW_ABOUT_FORM);
    if (!showAboutForm)
        return;
    const TqSoftInfo info{m_info.CompanyName.c_str(), m_info.ProductName.c_str(),
                          m_info.AboutText1.c_str(),  m_info.Version.c_str(),
                          m_info.HomePage.c_str(),    m_info.EMail.c_str(),
                          m_info.AboutText2.c_str(),  m_info.AppPath.c_str()};
    showAboutForm(m_application, info);
}
