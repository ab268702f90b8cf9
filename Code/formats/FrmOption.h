#pragma once

#include "formats/ComboChoiceList.h"
#include "formats/OptionDialogLogic.h"
#include "formats/ProfileControls.h"

#include <QDialog>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// The Options dialog: the current conversion values (its value lists) and the custom profiles.
// It is created hidden at start-up and lives as long as the main window; btnOptions calls
// Open(). OK refills the main window's profile list, Cancel and Esc put back the selections
// found on opening, the close box only hides. What the handlers do is TOptionDialogLogic.
class TfrmOption : public QDialog
{
    Q_OBJECT

public:
    // `mainProfileCombo` is the main window's cbbProfile.
    TfrmOption(const TProfileFunc &profiles, QComboBox *mainProfileCombo,
               QWidget *parent = nullptr);
    ~TfrmOption() override;

    // The value lists and the custom profile list, for the profile operations and the command
    // builder.
    TOptionLists Lists() const { return m_lists; }
    // Shows the dialog without blocking the main window; when it is open already, brings it to
    // the front.
    void Open();

    QLabel *lblCustomProfile;
    QComboBox *cbbCustomProfile;
    QPushButton *btnAdd;
    QPushButton *btnSave;
    QPushButton *btnDel;
    QGroupBox *grpAdvOptions;
    QLabel *lblAudioBitrate;
    QComboBox *cbbAudioBitrate;
    QLabel *lblSample;
    QComboBox *cbbAudioSample;
    QLabel *lblVolume;
    QComboBox *cbbAudioVolumeGain;
    QLabel *lblChannels;
    QComboBox *cbbAudioChannels;
    QPushButton *btnApply;
    QPushButton *btnCancel;
    QGroupBox *GroupBox1;
    QLabel *lblVideoSize;
    QComboBox *cbbVideoSize;
    QLabel *lblVideoBitrate;
    QComboBox *cbbVideoBitrate;
    QLabel *lblFrameRate;
    QComboBox *cbbFramerate;
    QLabel *lblAspectRatio;
    QComboBox *cbbAspectratio;

    void FormShow();
    void cbbCustomProfileChange();
    void btnAddClick();
    void btnSaveClick();
    void btnDelClick();
    void btnApplyClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Esc.
    void reject() override;

private:
    void CreateControls();
    void CreateHiddenVideoGroup();
    void ArrangeControls();
    void ConnectHandlers();
    void cbbCustomProfileEdited();
    QComboBox *NewList(const char *name, QWidget *parent);
    QLabel *NewLabel(const char *name, const char *caption, QWidget *parent);
    QPushButton *NewButton(const char *name, const char *caption);

    std::vector<std::unique_ptr<TComboChoiceList>> m_adapters;
    TOptionLists m_lists;
    std::unique_ptr<TComboChoiceList> m_mainProfileList;
    std::unique_ptr<TOptionDialogLogic> m_logic;
    bool m_placed = false;
};
