#pragma once

#include "support/MessageBoxes.h"

#include <QApplication>
#include <memory>

// The application object with the standard error display: an exception thrown while an event is
// handled is caught here, its message is shown in a box captioned "Tonequill", and the user
// action that raised it ends; the program goes on.
class TGuardedApplication : public QApplication
{
public:
    TGuardedApplication(int &argc, char **argv);
    ~TGuardedApplication() override;

    // The presenter of the error boxes; nullptr restores the Qt message boxes.
    void SetErrorPresenter(IMessagePresenter *presenter);

    bool notify(QObject *receiver, QEvent *event) override;

private:
    void ShowError(const std::string &message);

    std::unique_ptr<IMessagePresenter> m_qtPresenter;
    IMessagePresenter *m_presenter;
};
