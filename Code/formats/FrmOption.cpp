#include "formats/FrmOption.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace {

inline constexpr int kClientWidth = 476;
inline constexpr int kClientHeight = 198;

} // namespace

TfrmOption::TfrmOption(const TProfileFunc &profiles, QComboBox *mainProfileCombo, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName("frmOption");
    setWindowTitle("Options");
    setModal(false);
    CreateControls();
    CreateHiddenVideoGroup();
    ArrangeControls();

    auto adapt = [this](QComboBox *combo) {
        m_adapters.push_back(std::make_unique<TComboChoiceList>(combo));
        return m_adapters.back().get();
    };
    m_lists.cbbVideoSize = adapt(cbbVideoSize);
    m_lists.cbbVideoBitrate = adapt(cbbVideoBitrate);
    m_lists.cbbFramerate = adapt(cbbFramerate);
    m_lists.cbbAspectratio = adapt(cbbAspectratio);
    m_lists.cbbAudioBitrate = adapt(cbbAudioBitrate);
    m_lists.cbbAudioSample = adapt(cbbAudioSample);
    m_lists.cbbAudioVolumeGain = adapt(cbbAudioVolumeGain);
    m_lists.cbbAudioChannels = adapt(cbbAudioChannels);
    m_lists.cbbCustomProfile = adapt(cbbCustomProfile);
    m_mainProfileList = std::make_unique<TComboChoiceList>(mainProfileCombo);
    m_logic = std::make_unique<TOptionDialogLogic>(profiles, m_lists, *m_mainProfileList);
    ConnectHandlers();
}

TfrmOption::~TfrmOption() = default;

QComboBox *TfrmOption::NewList(const char *name, QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(name);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return list;
}

QLabel *TfrmOption::NewLabel(const char *name, const char *caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

QPushButton *TfrmOption::NewButton(const char *name, const char *caption)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    return button;
}

void TfrmOption::CreateControls()
{
    lblCustomProfile = NewLabel("lblCustomProfile", "Custom Profile:", this);
    cbbCustomProfile = NewList("cbbCustomProfile", this);
    cbbCustomProfile->setEditable(true);
    // Typed names are stored by Save, never added to the list by Enter; no completion, so the
    // text is exactly what the user typed.
    cbbCustomProfile->setInsertPolicy(QComboBox::NoInsert);
    cbbCustomProfile->setCompleter(nullptr);
    cbbCustomProfile->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbbCustomProfile->setMinimumContentsLength(20);
    // QComboBox selects and activates the entry matching the typed text when Enter is pressed
    // or the field loses focus; here only picking an entry or typing a stored name selects one,
    // so that leaving the field or pressing Enter never reloads a profile over edited values.
    QLineEdit *customEdit = cbbCustomProfile->lineEdit();
    disconnect(customEdit, &QLineEdit::returnPressed, cbbCustomProfile, nullptr);
    disconnect(customEdit, &QLineEdit::editingFinished, cbbCustomProfile, nullptr);
    customEdit->installEventFilter(this);
    lblCustomProfile->setBuddy(cbbCustomProfile);
    customEdit->setAccessibleName(lblCustomProfile->text());
    btnAdd = NewButton("btnAdd", "Add");
    btnSave = NewButton("btnSave", "Save");
    btnDel = NewButton("btnDel", "Delete");

    grpAdvOptions = new QGroupBox("Advanced Options", this);
    grpAdvOptions->setObjectName("grpAdvOptions");
    lblAudioBitrate = NewLabel("lblAudioBitrate", "Audio Bitrate(kbps):", grpAdvOptions);
    cbbAudioBitrate = NewList("cbbAudioBitrate", grpAdvOptions);
    lblSample = NewLabel("lblSample", "Audio Sample(khz):", grpAdvOptions);
    cbbAudioSample = NewList("cbbAudioSample", grpAdvOptions);
    lblVolume = NewLabel("lblVolume", "Audio Volume(%):", grpAdvOptions);
    cbbAudioVolumeGain = NewList("cbbAudioVolumeGain", grpAdvOptions);
    lblChannels = NewLabel("lblChannels", "Audio Channels:", grpAdvOptions);
    cbbAudioChannels = NewList("cbbAudioChannels", grpAdvOptions);

    lblAudioBitrate->setBuddy(cbbAudioBitrate);
    lblSample->setBuddy(cbbAudioSample);
    lblVolume->setBuddy(cbbAudioVolumeGain);
    lblChannels->setBuddy(cbbAudioChannels);
    btnApply = NewButton("btnApply", "OK");
    btnApply->setDefault(true);
    btnCancel = NewButton("btnCancel", "Cancel");
}

void TfrmOption::CreateHiddenVideoGroup()
{
    // The video values have no visible controls; their lists only hold selections that
    // profiles store and the command builder reads.
    GroupBox1 = new QGroupBox("GroupBox1", this);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setGeometry(16, 224, 249, 185);
    lblVideoSize = NewLabel("lblVideoSize", "Video Size:", GroupBox1);
    cbbVideoSize = NewList("cbbVideoSize", GroupBox1);
    lblVideoBitrate = NewLabel("lblVideoBitrate", "Video Bitrate(kbps):", GroupBox1);
    cbbVideoBitrate = NewList("cbbVideoBitrate", GroupBox1);
    lblFrameRate = NewLabel("lblFrameRate", "Frame Rate(fps):", GroupBox1);
    cbbFramerate = NewList("cbbFramerate", GroupBox1);
    lblAspectRatio = NewLabel("lblAspectRatio", "Aspect Ratio:", GroupBox1);
    cbbAspectratio = NewList("cbbAspectratio", GroupBox1);
    auto *grid = new QGridLayout(GroupBox1);
    grid->addWidget(lblVideoSize, 0, 0);
    grid->addWidget(cbbVideoSize, 0, 1);
    grid->addWidget(lblVideoBitrate, 1, 0);
    grid->addWidget(cbbVideoBitrate, 1, 1);
    grid->addWidget(lblFrameRate, 2, 0);
    grid->addWidget(cbbFramerate, 2, 1);
    grid->addWidget(lblAspectRatio, 3, 0);
    grid->addWidget(cbbAspectratio, 3, 1);
    GroupBox1->hide();
}

void TfrmOption::ArrangeControls()
{
    auto *profileRow = new QHBoxLayout;
    profileRow->addWidget(lblCustomProfile);
    profileRow->addWidget(cbbCustomProfile, 1);
    profileRow->addWidget(btnAdd);
    profileRow->addWidget(btnSave);
    profileRow->addWidget(btnDel);

    auto *grid = new QGridLayout(grpAdvOptions);
    grid->addWidget(lblAudioBitrate, 0, 0);
    grid->addWidget(cbbAudioBitrate, 0, 1);
    grid->addWidget(lblSample, 0, 2);
    grid->addWidget(cbbAudioSample, 0, 3);
    grid->addWidget(lblVolume, 1, 0);
    grid->addWidget(cbbAudioVolumeGain, 1, 1);
    grid->addWidget(lblChannels, 1, 2);
    grid->addWidget(cbbAudioChannels, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setHorizontalSpacing(8);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(btnApply);
    buttonRow->addWidget(btnCancel);

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(12, 16, 12, 12);
    page->addLayout(profileRow);
    page->addWidget(grpAdvOptions);
    page->addStretch(1);
    page->addLayout(buttonRow);

    setTabOrder(cbbCustomProfile, btnAdd);
    setTabOrder(btnAdd, btnSave);
    setTabOrder(btnSave, btnDel);
    setTabOrder(btnDel, cbbAudioBitrate);
    setTabOrder(cbbAudioBitrate, cbbAudioSample);
    setTabOrder(cbbAudioSample, cbbAudioVolumeGain);
    setTabOrder(cbbAudioVolumeGain, cbbAudioChannels);
    setTabOrder(cbbAudioChannels, btnApply);
    setTabOrder(btnApply, btnCancel);

    // A fixed-size frame: the design size, or larger where this platform's fonts need it.
    const QSize hint = page->sizeHint();
    setFixedSize(std::max(kClientWidth, hint.width()), std::max(kClientHeight, hint.height()));
}

void TfrmOption::ConnectHandlers()
{
    connect(cbbCustomProfile, &QComboBox::activated, this, &TfrmOption::cbbCustomProfileChange);
    connect(cbbCustomProfile->lineEdit(), &QLineEdit::textEdited, this,
            &TfrmOption::cbbCustomProfileEdited);
    for (QComboBox *list : {cbbAudioBitrate, cbbAudioSample, cbbAudioChannels}) {
        connect(list, &QComboBox::currentIndexChanged, this,
                [this] { m_logic->ProfileValueChangedByUser(); });
    }
    connect(btnAdd, &QPushButton::clicked, this, &TfrmOption::btnAddClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmOption::btnSaveClick);
    connect(btnDel, &QPushButton::clicked, this, &TfrmOption::btnDelClick);
    connect(btnApply, &QPushButton::clicked, this, &TfrmOption::btnApplyClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmOption::btnCancelClick);
}

void TfrmOption::Open()
{
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    if (!m_placed) {
        if (QScreen *screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
}

void TfrmOption::showEvent(QShowEvent *event)
{
    // A spontaneous show is the window manager restoring the window, not an opening.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TfrmOption::closeEvent(QCloseEvent *event)
{
    // The close box only hides the dialog: no selections are put back, nothing is refilled.
    event->accept();
}

bool TfrmOption::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the custom profile field is the dialog's OK, as everywhere else in the dialog.
    if (watched == cbbCustomProfile->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            btnApply->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmOption::reject()
{
    btnCancelClick();
}

void TfrmOption::FormShow()
{
    m_logic->FormShow();
    cbbCustomProfile->setFocus();
}

void TfrmOption::cbbCustomProfileChange()
{
    m_logic->cbbCustomProfileChange();
}

void TfrmOption::cbbCustomProfileEdited()
{
    QLineEdit *edit = cbbCustomProfile->lineEdit();
    const int cursor = edit->cursorPosition();
    m_logic->cbbCustomProfileEdited();
    edit->setCursorPosition(cursor);
}

void TfrmOption::btnAddClick()
{
    m_logic->btnAddClick();
}

void TfrmOption::btnSaveClick()
{
    m_logic->btnSaveClick();
}

void TfrmOption::btnDelClick()
{
    m_logic->btnDelClick();
}

void TfrmOption::btnApplyClick()
{
    m_logic->btnApplyClick();
    hide();
}

void TfrmOption::btnCancelClick()
{
    m_logic->btnCancelClick();
    hide();
}
