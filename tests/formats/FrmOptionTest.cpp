#include "formats/FrmOption.h"

#include "ProfileTestSupport.h"
#include "SupportFakes.h"
#include "formats/InputNamePrompt.h"
#include "formats/MainProfileBinding.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

const char *const kThreeProfiles = "\r\n[A]\r\nA=0|0|0|1|0|0\r\n\r\n[B]\r\nB=2|0|3|3|1|1\r\n"
                                   "\r\n[C]\r\nC=3|1|4|6|0|3\r\n";

class FrmOptionTest : public ::testing::Test
{
protected:
    FrmOptionTest()
        : profiles(program.Path(), prompt), cbbOutputFiletype(new QComboBox(&mainWindow)),
          cbbProfile(new QComboBox(&mainWindow)), btnOptions(new QPushButton(&mainWindow)),
          binding(cbbOutputFiletype, cbbProfile, btnOptions),
          frmOption(profiles, cbbProfile, &mainWindow)
    {
        tqtest::WriteWholeFile(program.ConfigFile("UserProfileInfo.ini"), kThreeProfiles);
        profiles.FillAllCombos(binding.Controls(), frmOption.Lists());
        profiles.ApplyProfile(binding.Controls(), frmOption.Lists());
        Choose(cbbOutputFiletype, 2); // MP3, "Normal Quality"
        mainWindow.show();
    }

    void Choose(QComboBox *mainList, int position)
    {
        mainList->setCurrentIndex(position);
        profiles.ApplyProfile(binding.Controls(), frmOption.Lists());
    }
    void OpenDialog()
    {
        frmOption.Open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frmOption));
        QApplication::setActiveWindow(&frmOption);
        QApplication::processEvents();
    }
    QString Bitrate() const { return frmOption.cbbAudioBitrate->currentText(); }
    // The control that has the focus, a combo box's edit field counted as its combo box.
    QString FocusName() const
    {
        QWidget *focus = QApplication::focusWidget();
        if (focus && qobject_cast<QComboBox *>(focus->parentWidget()))
            focus = focus->parentWidget();
        return focus ? focus->objectName() : QString();
    }

    tqtest::ProgramFolder program;
    tqtest::ScriptedNamePrompt prompt;
    TProfileFunc profiles;
    QWidget mainWindow;
    QComboBox *cbbOutputFiletype;
    QComboBox *cbbProfile;
    QPushButton *btnOptions;
    TMainProfileBinding binding;
    TfrmOption frmOption;
};

TEST_F(FrmOptionTest, ControlsCaptionsAndButtons)
{
    EXPECT_EQ(frmOption.objectName(), "frmOption");
    EXPECT_EQ(frmOption.windowTitle(), "Options");
    EXPECT_FALSE(frmOption.isVisible());
    EXPECT_FALSE(frmOption.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(frmOption.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_GE(frmOption.width(), 476);
    EXPECT_GE(frmOption.height(), 198);
    EXPECT_EQ(frmOption.minimumSize(), frmOption.maximumSize());

    const std::pair<const char *, const char *> labels[] = {
        {"lblCustomProfile", "Custom Profile:"},     {"lblAudioBitrate", "Audio Bitrate(kbps):"},
        {"lblSample", "Audio Sample(khz):"},         {"lblVolume", "Audio Volume(%):"},
        {"lblChannels", "Audio Channels:"},          {"lblVideoSize", "Video Size:"},
        {"lblVideoBitrate", "Video Bitrate(kbps):"}, {"lblFrameRate", "Frame Rate(fps):"},
        {"lblAspectRatio", "Aspect Ratio:"}};
    for (const auto &[name, caption] : labels) {
        auto *label = frmOption.findChild<QLabel *>(name);
        ASSERT_TRUE(label) << name;
        EXPECT_EQ(label->text(), caption);
    }
    const std::pair<const char *, const char *> buttons[] = {{"btnAdd", "Add"},
                                                             {"btnSave", "Save"},
                                                             {"btnDel", "Delete"},
                                                             {"btnApply", "OK"},
                                                             {"btnCancel", "Cancel"}};
    for (const auto &[name, caption] : buttons) {
        auto *button = frmOption.findChild<QPushButton *>(name);
        ASSERT_TRUE(button) << name;
        EXPECT_EQ(button->text(), caption);
    }
    EXPECT_TRUE(frmOption.btnApply->isDefault());
    EXPECT_EQ(frmOption.grpAdvOptions->title(), "Advanced Options");
    EXPECT_TRUE(frmOption.cbbCustomProfile->isEditable());
    for (QComboBox *list : {frmOption.cbbAudioBitrate, frmOption.cbbAudioSample,
                            frmOption.cbbAudioVolumeGain, frmOption.cbbAudioChannels})
        EXPECT_FALSE(list->isEditable()) << list->objectName().toStdString();
    EXPECT_EQ(frmOption.cbbAudioBitrate->count(), 9);
    EXPECT_EQ(frmOption.cbbAudioVolumeGain->count(), 21);
    EXPECT_EQ(frmOption.cbbAudioVolumeGain->currentText(), "200");
    EXPECT_EQ(frmOption.cbbCustomProfile->count(), 3);
    EXPECT_EQ(cbbProfile->count(), 8);

    OpenDialog();
    EXPECT_FALSE(frmOption.GroupBox1->isVisible());
    EXPECT_FALSE(frmOption.cbbVideoSize->isVisible());
    EXPECT_EQ(frmOption.cbbVideoSize->currentText(), "176x144");
}

TEST_F(FrmOptionTest, TabOrderStartsWithTheCustomProfileList)
{
    OpenDialog();
    EXPECT_EQ(FocusName(), "cbbCustomProfile");
    QStringList order{FocusName()};
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << FocusName();
    }
    EXPECT_EQ(order.join(","), "cbbCustomProfile,btnAdd,btnSave,btnDel,cbbAudioBitrate,"
                               "cbbAudioSample,cbbAudioVolumeGain,cbbAudioChannels,btnApply,"
                               "btnCancel");
}

TEST_F(FrmOptionTest, OpeningTwiceKeepsOneDialogAndTheFirstRememberedValues)
{
    OpenDialog();
    frmOption.cbbAudioBitrate->setCurrentIndex(0);
    frmOption.Open(); // already open: only brought to the front
    EXPECT_TRUE(frmOption.isVisible());
    QTest::mouseClick(frmOption.btnCancel, Qt::LeftButton);
    EXPECT_FALSE(frmOption.isVisible());
    EXPECT_EQ(Bitrate(), "128");
}

TEST_F(FrmOptionTest, EscCancelsAndEnterAccepts)
{
    Choose(cbbProfile, 3);
    OpenDialog();
    frmOption.cbbAudioBitrate->setCurrentIndex(0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(frmOption.isVisible());
    EXPECT_EQ(Bitrate(), "192");
    EXPECT_EQ(cbbProfile->currentIndex(), 3);

    OpenDialog();
    frmOption.cbbAudioBitrate->setCurrentIndex(0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(frmOption.isVisible());
    EXPECT_EQ(Bitrate(), "16");
    EXPECT_EQ(cbbProfile->currentText(), "Normal Quality");
    EXPECT_EQ(cbbProfile->count(), 8);
    EXPECT_EQ(frmOption.cbbCustomProfile->count(), 3); // Enter added no typed entry
}

TEST_F(FrmOptionTest, CloseBoxOnlyHides)
{
    Choose(cbbProfile, 4);
    OpenDialog();
    frmOption.cbbAudioBitrate->setCurrentIndex(1);
    frmOption.close();
    EXPECT_FALSE(frmOption.isVisible());
    EXPECT_EQ(Bitrate(), "32");
    EXPECT_EQ(cbbProfile->currentIndex(), 4);
}

TEST_F(FrmOptionTest, PickingAppliesAProfileAndTypingNever)
{
    OpenDialog();
    frmOption.cbbCustomProfile->setFocus();
    QTest::keyClick(frmOption.cbbCustomProfile, Qt::Key_Down); // picks A
    EXPECT_EQ(frmOption.cbbCustomProfile->currentText(), "A");
    EXPECT_EQ(Bitrate(), "32");
    EXPECT_EQ(frmOption.cbbAudioVolumeGain->currentText(), "200");

    // Typing "Bx" passes through the stored name "B", whose values must not replace A's.
    QLineEdit *edit = frmOption.cbbCustomProfile->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, "B");
    EXPECT_EQ(frmOption.cbbCustomProfile->currentIndex(), -1);
    EXPECT_EQ(Bitrate(), "32");
    QTest::keyClicks(edit, "x");
    EXPECT_EQ(edit->text(), "Bx");
    EXPECT_EQ(edit->cursorPosition(), 2);
    EXPECT_EQ(frmOption.cbbCustomProfile->currentIndex(), -1);
    EXPECT_EQ(Bitrate(), "32");

    QTest::mouseClick(frmOption.btnSave, Qt::LeftButton);
    EXPECT_EQ(frmOption.cbbCustomProfile->count(), 4);
    EXPECT_EQ(frmOption.cbbCustomProfile->currentText(), "Bx");
    EXPECT_EQ(cbbProfile->count(), 9);
}

TEST_F(FrmOptionTest, ChangingAValueKeepsTheProfileNameForSave)
{
    OpenDialog();
    frmOption.cbbCustomProfile->setCurrentIndex(2);
    frmOption.cbbCustomProfile->activated(2);
    ASSERT_EQ(Bitrate(), "160");
    QTest::keyClick(frmOption.cbbAudioBitrate, Qt::Key_Down);
    EXPECT_EQ(Bitrate(), "192");
    EXPECT_EQ(frmOption.cbbCustomProfile->currentIndex(), -1);
    EXPECT_EQ(frmOption.cbbCustomProfile->currentText(), "C");
    QTest::mouseClick(frmOption.btnSave, Qt::LeftButton);
    EXPECT_EQ(profiles.ProfileIni().ReadIniValue("UserProfileInfo.ini", "C"), "3|1|4|7|0|3");
    EXPECT_EQ(frmOption.cbbCustomProfile->currentIndex(), 2);
}

TEST_F(FrmOptionTest, AddAndDeleteThroughTheButtons)
{
    OpenDialog();
    prompt.answers = {std::string("Night")};
    QTest::mouseClick(frmOption.btnAdd, Qt::LeftButton);
    EXPECT_EQ(frmOption.cbbCustomProfile->count(), 4);
    EXPECT_EQ(frmOption.cbbCustomProfile->currentText(), "Night");
    EXPECT_EQ(cbbProfile->itemText(8), "Night");

    for (int i = 0; i < 4; ++i) {
        frmOption.cbbCustomProfile->setCurrentIndex(0);
        QTest::mouseClick(frmOption.btnDel, Qt::LeftButton);
    }
    EXPECT_EQ(frmOption.cbbCustomProfile->count(), 0);
    EXPECT_EQ(frmOption.cbbCustomProfile->currentText(), "");
    EXPECT_EQ(cbbProfile->count(), 5);
    EXPECT_EQ(tqtest::ReadWholeFile(program.ConfigFile("UserProfileInfo.ini")),
              "\r\n\r\n\r\n\r\n\r\n");
}

TEST(ComboChoiceList, ProgrammaticChangesRaiseNoChangeNotification)
{
    QComboBox combo;
    TComboChoiceList list(&combo);
    QSignalSpy changed(&combo, &QComboBox::currentIndexChanged);
    list.Add("one");
    list.Add("two");
    list.SetItemIndex(1);
    list.SetItemIndex(5);
    EXPECT_EQ(list.ItemIndex(), -1);
    list.Clear();
    EXPECT_EQ(changed.count(), 0);

    QComboBox editable;
    editable.setEditable(true);
    TComboChoiceList typed(&editable);
    typed.Add("Voice");
    typed.SetItemIndex(0);
    typed.SetText("Other");
    EXPECT_EQ(typed.ItemIndex(), 0);
    EXPECT_EQ(typed.Text(), "Other");
    typed.SetItemIndex(-1);
    EXPECT_EQ(typed.Text(), "");
}

TEST(InputNamePrompt, AsksWithTheTitleAndPromptAndReturnsTheEditedName)
{
    tqtest::RecordingPresenter presenter;
    TMessageBoxes boxes(presenter);
    TInputNamePrompt prompt(boxes);

    QString caption, label, proposed;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        caption = dialog->windowTitle();
        label = dialog->labelText();
        proposed = dialog->textValue();
        dialog->setTextValue("Mine");
        dialog->accept();
    });
    EXPECT_EQ(prompt.AskName("UserProfileInfo7"), std::optional<std::string>("Mine"));
    EXPECT_EQ(caption, "Tonequill");
    EXPECT_EQ(label, "Plese input a name");
    EXPECT_EQ(proposed, "UserProfileInfo7");

    QTimer::singleShot(0, [] {
        if (auto *dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    EXPECT_EQ(prompt.AskName("UserProfileInfo8"), std::nullopt);

    prompt.ShowNameProblem("Plese input a name");
    ASSERT_EQ(presenter.requests.size(), 1u);
    EXPECT_EQ(presenter.requests[0].caption, "Tonequill");
    EXPECT_EQ(presenter.requests[0].text, "Plese input a name");
}

} // namespace
