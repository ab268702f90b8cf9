#include "support/QtMessagePresenter.h"

#include "support/FocusReturn.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>

namespace {

QMessageBox::Icon QtIcon(TMessageIcon icon)
{
    switch (icon) {
    case TMessageIcon::Error:
        return QMessageBox::Critical;
    case TMessageIcon::Warning:
        return QMessageBox::Warning;
    case TMessageIcon::Question:
        return QMessageBox::Question;
    case TMessageIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

void AddButtons(QMessageBox &box, TMessageButtons buttons)
{
    switch (buttons) {
    case TMessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case TMessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    case TMessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
}

int ResultOf(const QMessageBox &box, TMessageButtons buttons)
{
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
        return IdOk;
    case QMessageBox::Yes:
        return IdYes;
    case QMessageBox::No:
        return IdNo;
    case QMessageBox::Cancel:
        return IdCancel;
    default:
        break;
    }
    // Closed without a button: the escape button's answer.
    switch (buttons) {
    case TMessageButtons::Ok:
        return IdOk;
    case TMessageButtons::YesNo:
        return IdNo;
    case TMessageButtons::YesNoCancel:
        break;
    }
    return IdCancel;
}

// Every window disabled.
int ShowApplicationModal(QMessageBox &box, TMessageButtons buttons)
{
    const TFocusReturn focusReturn;
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return ResultOf(box, buttons);
}

// Blocks the caller until closed while the program's other windows stay usable: the box is not
// modal and waits in a local event loop.
int ShowBesideOtherWindows(QMessageBox &box, TMessageButtons buttons)
{
    const TFocusReturn focusReturn;
    box.setWindowModality(Qt::NonModal);
    QEventLoop loop;
    QObject::connect(&box, &QMessageBox::finished, &loop, &QEventLoop::quit);
    QObject::connect(&box, &QObject::destroyed, &loop, &QEventLoop::quit);
    box.show();
    box.raise();
    box.activateWindow();
    loop.exec();
    return ResultOf(box, buttons);
}

} // namespace

int TQtMessagePresenter::Present(const TMessageBoxRequest &request)
{
    // A parent-less box: nothing can delete it while the caller waits for it.
    QMessageBox box(QtIcon(request.icon), QString::fromStdString(request.caption),
                    QString::fromStdString(request.text));
    AddButtons(box, request.buttons);
    if (!request.applicationModal)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return request.applicationModal ? ShowApplicationModal(box, request.buttons)
                                    : ShowBesideOtherWindows(box, request.buttons);
}
