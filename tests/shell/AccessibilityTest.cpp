// Keyboard and assistive-technology use of the program's windows: names, labels and roles as
// Qt's accessibility interface reports them, focus, the Tab chain and the shortcuts.
#include "ScriptedSourceFileDialog.h"
#include "ShellFixture.h"
#include "TestMedia.h"
#include "conversion/ConversionProc.h"
#include "conversion/FrmConverting.h"
#include "formats/FrmOption.h"
#include "formats/InputNamePrompt.h"
#include "joblist/QtSourceFileDialog.h"
#include "preview/TimelineStrip.h"
#include "shell/MainForm.h"
#include "shell/ServiceObjects.h"
#include "toolkit/JobGrid.h"
#include "toolkit/PictureButton.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

QString NameOf(QWidget *widget)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible == nullptr ? QString() : accessible->text(QAccessible::Name).trimmed();
}

bool NeedsLabel(QWidget *widget)
{
    if (qobject_cast<QComboBox *>(widget->parentWidget()))
        return false; // the edit of an editable list: the list carries the label
    if (qobject_cast<QProgressBar *>(widget))
        return widget->accessibleName().isEmpty(); // a bar without a caption is named
    return qobject_cast<QComboBox *>(widget) || qobject_cast<QLineEdit *>(widget);
}

// The text of the label tied to `widget` (lists take their name from their entry on Linux).
QString LabelOf(QWidget *widget)
{
    const auto labels =
        QAccessible::queryAccessibleInterface(widget)->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.front().first->text(QAccessible::Name);
}

// Every visible control of `window` that takes the focus, and every bar, has an accessible name;
// lists, edits and bars also have a label tied to them. Returns how many were checked.
int ExpectNamedAndLabelled(QWidget *window)
{
    int checked = 0;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        const bool interactive = (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus ||
                                 qobject_cast<QProgressBar *>(widget);
        if (!interactive || !widget->isVisibleTo(window) || widget->window() != window)
            continue;
        ++checked;
        const std::string what =
            widget->objectName().toStdString() + " of " + window->objectName().toStdString();
        EXPECT_FALSE(NameOf(widget).isEmpty()) << what << " has no name";
        EXPECT_FALSE(NeedsLabel(widget) && LabelOf(widget).isEmpty()) << what << " has no label";
    }
    return checked;
}

// Runs `open`, which shows a modal window and waits for it; `inspect` sees that window, which is
// then closed.
void WithModalWindow(const std::function<void()> &open,
                     const std::function<void(QWidget *)> &inspect)
{
    bool inspected = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal == nullptr || inspected)
            return;
        inspected = true;
        inspect(modal);
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    });
    poll.start();
    open();
    EXPECT_TRUE(inspected);
}

class AccessibilityTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        tqtest::ToneSpec spec;
        spec.seconds = 2.0;
        for (const std::string &file : files)
            ASSERT_TRUE(tqtest::MakeToneFile(file, spec, &error)) << error;
        dialog.files = files;
        TShellPlatform platform = fixture.Platform();
        platform.SourceDialog = &dialog;
        app = std::make_unique<TTonequillApp>(platform);
        ASSERT_TRUE(app->Started());
        app->Show();
        form = app->MainForm();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    }

    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClick(focused, Qt::Key(key), modifiers);
    }

    tqtest::ShellFixture fixture;
    std::vector<std::string> files{fixture.folder.File("one.wav"), fixture.folder.File("two.wav")};
    tqtest::ScriptedSourceFileDialog dialog;
    std::unique_ptr<TTonequillApp> app;
    TFrmMainForm *form = nullptr;
};

TEST_F(AccessibilityTest, EveryWindowNamesItsControlsAndTiesLabelsToThem)
{
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form)->role(), QAccessible::Window);
    EXPECT_GE(ExpectNamedAndLabelled(form), 23);
    EXPECT_EQ(NameOf(form->btnSelectOutputFolder), "Choose the output folder");
    EXPECT_EQ(LabelOf(form->cbbProfile), "Profile Settings:");

    form->btnOpenFile->click();
    QAccessibleInterface *grid = QAccessible::queryAccessibleInterface(form->dxTreeSourceFileInfo);
    ASSERT_NE(grid->tableInterface(), nullptr);
    EXPECT_EQ(grid->tableInterface()->columnCount(), JobColumn::Count - 1); // no check column
    EXPECT_EQ(grid->tableInterface()->cellAt(0, 0)->text(QAccessible::Name).toStdString(),
              files[0]);

    form->btnOptions->click();
    EXPECT_GE(ExpectNamedAndLabelled(app->OptionsDialog()), 10);
    app->OptionsDialog()->hide();

    TfrmConverting &progress = *app->ProgressWindow();
    progress.ShowProgress();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&progress)->role(), QAccessible::Dialog);
    EXPECT_EQ(ExpectNamedAndLabelled(&progress), 3); // two bars and Stop
    EXPECT_EQ(NameOf(progress.btnStop), "Stop");
    progress.HideProgress();

    WithModalWindow([&] { form->btnAbout->click(); },
                    [](QWidget *about) { EXPECT_GE(ExpectNamedAndLabelled(about), 2); });
    TInputNamePrompt prompt(app->Messages());
    WithModalWindow([&] { prompt.AskName("Mine"); },
                    [](QWidget *ask) { EXPECT_GE(ExpectNamedAndLabelled(ask), 3); });
}

TEST_F(AccessibilityTest, KeysReachTheCommandsTheGridIsOneStopAndFocusComesBack)
{
    EXPECT_EQ(QApplication::focusWidget(), form->btnOpenFile);
    Press(Qt::Key_Return, Qt::ControlModifier); // Convert, on an empty list
    EXPECT_EQ(fixture.presenter.Texts(),
              std::vector<std::string>{TConversionProc::kEmptyListWarning});
    Press(Qt::Key_F1);
    ASSERT_EQ(fixture.opener.opened.size(), 1u);
    EXPECT_NE(fixture.opener.opened[0].find("Help.html"), std::string::npos);
    Press(Qt::Key_A, Qt::AltModifier); // the Add button's own key, an animated click
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.runs == 1; }, 2000));
    Press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialog.runs, 2);

    // The grid is one stop; Options is skipped where the output type has no profiles.
    // Tabbing in chooses the current row as a click does.
    TJobGrid &grid = *form->dxTreeSourceFileInfo;
    TCustomProc &proc = app->Services().CustomProc();
    grid.setFocus();
    Press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->btnOpenFile);
    EXPECT_EQ(proc.Timeline.TimelineDuration, 0);
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), &grid);
    EXPECT_EQ(grid.SelectedRows(), std::vector<int>{0});
    EXPECT_EQ(proc.Timeline.TimelineDuration, 2);
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), form->btnOptions->isEnabled()
                                               ? static_cast<QWidget *>(form->btnOptions)
                                               : form->chkShowOutputDirectory);

    // Choosing a row by key places the markers as a click does; Return plays it.
    grid.setFocus();
    Press(Qt::Key_Down);
    Press(Qt::Key_Up);
    EXPECT_EQ(grid.SelectedRows(), std::vector<int>{0});
    EXPECT_EQ(proc.Timeline.TimelineDuration, 2);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form->TimelineStrip->Splitter2())
                  ->text(QAccessible::Name),
              "End 00:00:02");
    Press(Qt::Key_Return);
    EXPECT_EQ(proc.PreviewFile(), files[0]);

    // A conversion disables the window and takes the focus; the end gives it back and is
    // announced (the alert event itself reaches only a platform with an accessibility bus).
    form->SetMainWindowEnabled(false);
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
    form->SetMainWindowEnabled(true);
    EXPECT_EQ(QApplication::focusWidget(), &grid);
    QAccessibleInterface *alert =
        QAccessible::queryAccessibleInterface(form->findChild<QWidget *>("announcer"));
    EXPECT_EQ(alert->role(), QAccessible::AlertMessage);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return alert->text(QAccessible::Name) == "Conversion finished."; }, 1000));
}

TEST_F(AccessibilityTest, TheAddDialogGivesTheFocusBackHoweverItCloses)
{
    TQtSourceFileDialog addDialog(form);
    addDialog.SetInitialFolder(fixture.folder.Path());
    form->btnOpenFile->setFocus();
    WithModalWindow([&] { addDialog.Execute(); },
                    [](QWidget *open) {
                        auto *name = open->findChild<QLineEdit *>("fileNameEdit");
                        ASSERT_NE(name, nullptr);
                        // A typed start opens the completion list; Return picks from it.
                        QTest::keyClicks(name, "o");
                        QTest::qWait(300);
                        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                    });
    QTest::qWait(50);
    EXPECT_EQ(QApplication::activeWindow(), form);
    EXPECT_EQ(QApplication::focusWidget(), form->btnOpenFile);
}

} // namespace
