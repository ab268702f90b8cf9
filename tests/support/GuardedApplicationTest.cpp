#include "support/GuardedApplication.h"

#include "SupportFakes.h"
#include "TestRun.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

tqtest::RecordingPresenter *g_presenter = nullptr;

// A widget whose handlers fail the way the program's operations do.
class FailingButton : public QPushButton
{
public:
    FailingButton()
    {
        connect(this, &QPushButton::clicked, [this] {
            ++clicks;
            throw std::runtime_error("Cannot create file \"/x/Config/a.ini\". Permission denied");
        });
    }
    int clicks = 0;
};

class ThrowingObject : public QObject
{
public:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User)
            throw 42; // not a standard exception
        return QObject::event(event);
    }
};

class GuardedApplicationTest : public ::testing::Test
{
protected:
    void SetUp() override { g_presenter->requests.clear(); }
};

TEST_F(GuardedApplicationTest, FailedClickShowsTheMessageAndTheProgramGoesOn)
{
    FailingButton button;
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    ASSERT_EQ(g_presenter->requests.size(), 1u);
    const TMessageBoxRequest &box = g_presenter->requests[0];
    EXPECT_EQ(box.caption, "Tonequill");
    EXPECT_EQ(box.text, "Cannot create file \"/x/Config/a.ini\". Permission denied");
    EXPECT_EQ(box.icon, TMessageIcon::Error);
    EXPECT_EQ(box.buttons, TMessageButtons::Ok);

    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(button.clicks, 2);
    EXPECT_EQ(g_presenter->requests.size(), 2u);
}

TEST_F(GuardedApplicationTest, PostedEventWithUnknownExceptionIsReported)
{
    ThrowingObject object;
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(g_presenter->Texts(), std::vector<std::string>{"Unknown error."});
}

TEST_F(GuardedApplicationTest, EventsWithoutFailureShowNothing)
{
    QPushButton button;
    bool clicked = false;
    QObject::connect(&button, &QPushButton::clicked, [&] { clicked = true; });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(g_presenter->requests.empty());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TGuardedApplication app(argc, argv);
    tqtest::RecordingPresenter presenter;
    g_presenter = &presenter;
    app.SetErrorPresenter(&presenter);
    ::testing::InitGoogleTest(&argc, argv);
    return tqtest::RunAllTestsShowingSkips();
}
