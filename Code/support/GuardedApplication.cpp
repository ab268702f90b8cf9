#include "support/GuardedApplication.h"

#include "support/QtMessagePresenter.h"

#include <exception>

TGuardedApplication::TGuardedApplication(int &argc, char **argv)
    : QApplication(argc, argv), m_qtPresenter(std::make_unique<TQtMessagePresenter>()),
      m_presenter(m_qtPresenter.get())
{
}

TGuardedApplication::~TGuardedApplication() = default;

void TGuardedApplication::SetErrorPresenter(IMessagePresenter *presenter)
{
    m_presenter = presenter ? presenter : m_qtPresenter.get();
}

bool TGuardedApplication::notify(QObject *receiver, QEvent *event)
{
    // The one catch point of the program: the failed user action ends here, the program goes on.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        ShowError(error.what());
    } catch (...) {
        ShowError("Unknown error.");
    }
    return false;
}

void TGuardedApplication::ShowError(const std::string &message)
{
    TMessageBoxRequest request;
    request.caption = kApplicationTitle;
    request.text = message;
    request.icon = TMessageIcon::Error;
    request.buttons = TMessageButtons::Ok;
    request.applicationModal = true;
    try {
        m_presenter->Present(request);
    } catch (...) {
        // Showing the box failed as well; an exception must not leave the event loop.
        qCritical("%s", message.c_str());
    }
}
