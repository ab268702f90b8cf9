#include "support/MessageBoxes.h"

#include "SupportFakes.h"
#include "support/QtMessagePresenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace {

TEST(ShowMsgTest, KindChoosesTheIcon)
{
    tqtest::RecordingPresenter presenter;
    const TMessageBoxes boxes(presenter);
    const TMessageIcon expected[] = {TMessageIcon::Error, TMessageIcon::Warning,
                                     TMessageIcon::Question, TMessageIcon::Information};
    for (int kind = 0; kind <= 3; ++kind) {
        EXPECT_TRUE(boxes.ShowMsg("text " + std::to_string(kind), kind));
        const TMessageBoxRequest &box = presenter.requests.back();
        EXPECT_EQ(box.icon, expected[kind]);
        EXPECT_EQ(box.caption, "Tonequill");
        EXPECT_EQ(box.text, "text " + std::to_string(kind));
        EXPECT_EQ(box.buttons, TMessageButtons::Ok);
        EXPECT_FALSE(box.applicationModal);
    }
    EXPECT_FALSE(boxes.ShowMsg("none", 4));
    EXPECT_FALSE(boxes.ShowMsg("none", -1));
    EXPECT_EQ(presenter.requests.size(), 4u);
}

TEST(AppMessageBoxTest, KindChoosesTheButtons)
{
    tqtest::RecordingPresenter presenter;
    presenter.answers = {IdOk, IdNo, IdCancel};
    const TMessageBoxes boxes(presenter);
    EXPECT_EQ(boxes.AppMessageBox("one", 1), IdOk);
    EXPECT_EQ(boxes.AppMessageBox("two", 2), IdNo);
    EXPECT_EQ(boxes.AppMessageBox("three", 3), IdCancel);
    ASSERT_EQ(presenter.requests.size(), 3u);
    const TMessageButtons expected[] = {TMessageButtons::Ok, TMessageButtons::YesNo,
                                        TMessageButtons::YesNoCancel};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(presenter.requests[i].buttons, expected[i]);
        EXPECT_EQ(presenter.requests[i].icon, TMessageIcon::Information);
        EXPECT_TRUE(presenter.requests[i].applicationModal);
        EXPECT_EQ(presenter.requests[i].caption, "Tonequill");
    }
    EXPECT_EQ(boxes.AppMessageBox("none", 0), 0);
    EXPECT_EQ(boxes.AppMessageBox("none", 4), 0);
    EXPECT_EQ(presenter.requests.size(), 3u);
}

// Runs `action` on the open message box once it appears.
void WhenBoxOpens(std::function<void(QMessageBox *)> action)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (box && box->isVisible()) {
                timer->stop();
                timer->deleteLater();
                action(box);
                return;
            }
        }
    });
    timer->start(10);
}

TEST(QtMessagePresenterTest, OkBoxLeavesOtherWindowsUsable)
{
    QWidget window;
    window.show();
    bool windowUsable = false;
    QString caption;
    WhenBoxOpens([&](QMessageBox *box) {
        caption = box->windowTitle();
        windowUsable = QApplication::activeModalWidget() == nullptr && window.isEnabled();
        box->button(QMessageBox::Ok)->click();
    });
    TQtMessagePresenter presenter;
    EXPECT_TRUE(TMessageBoxes(presenter).ShowMsg("Careful", 1));
    EXPECT_EQ(caption, "Tonequill");
    EXPECT_TRUE(windowUsable);
}

TEST(QtMessagePresenterTest, ApplicationModalBoxReturnsThePressedButton)
{
    TQtMessagePresenter presenter;
    const TMessageBoxes boxes(presenter);
    QWidget window;
    window.show();
    window.activateWindow();
    bool modal = false;
    WhenBoxOpens([&](QMessageBox *box) {
        modal = QApplication::activeModalWidget() == box;
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(boxes.AppMessageBox("Stop?", 3), IdNo);
    EXPECT_TRUE(modal);

    WhenBoxOpens([](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
    EXPECT_EQ(boxes.AppMessageBox("Stop?", 2), IdYes);
    WhenBoxOpens([](QMessageBox *box) { box->reject(); });
    EXPECT_EQ(boxes.AppMessageBox("Stop?", 2), IdNo) << "closing a Yes/No box answers No";
}

} // namespace
