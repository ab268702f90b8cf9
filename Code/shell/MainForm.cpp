#include "shell/MainForm.h"

#include "formats/FrmOption.h"
#include "platform/FileSystem.h"
#include "shell/FlashForm.h"
#include "shell/ServiceObjects.h"
#include "shell/SoftInfo.h"
#include "shell/SystemActions.h"
#include "support/OutputFolderChooser.h"
#include "toolkit/Artwork.h"
#include "toolkit/JobGrid.h"
#include "toolkit/PictureButton.h"
#include "toolkit/ShapedForm.h"
#include "toolkit/TitleLabel.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QSlider>
#include <QTimer>

namespace {

template <typename Widget> Widget *Named(Widget *widget, const char *name)
{
    widget->setObjectName(name);
    return widget;
}

toolkit::TPictureButton *NewPictureButton(QWidget *parent, const char *name, const char *artwork,
                                          const char *toolTip)
{
    auto *button = Named(new toolkit::TPictureButton(parent), name);
    button->SetArtwork(artwork);
    button->setToolTip(QString::fromUtf8(toolTip));
    return button;
}

QLabel *NewPicture(QWidget *parent, const char *name, const char *artwork)
{
    auto *label = Named(new QLabel(parent), name);
    label->setPixmap(toolkit::ArtworkPixmap(artwork));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

// The captions of the settings sit in 80 pixels left of their lists.
QLabel *NewLabel(QWidget *parent, const char *name, const char *caption)
{
    auto *label = Named(new QLabel(QString::fromUtf8(caption), parent), name);
    QFont font = label->font();
    font.setPixelSize(11);
    font.setLetterSpacing(QFont::PercentageSpacing, 96);
    label->setFont(font);
    label->setStyleSheet("color: #243040;");
    label->adjustSize();
    return label;
}

} // namespace

TFrmMainForm::TFrmMainForm(const TMainFormContext &context, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_context(context)
{
    setObjectName("FrmMainForm");
    setWindowTitle(QCoreApplication::applicationName());
    QFont windowFont("DejaVu Sans Condensed");
    windowFont.setPixelSize(12);
    setFont(windowFont);
    CreateControls();
    PlaceControls();
    m_profileBinding =
        std::make_unique<TMainProfileBinding>(cbbOutputFiletype, cbbProfile, btnOptions);
    ConnectHandlers();
    resize(kDesignWidth, kDesignHeight);
    CentreOnDesktop();
    tmrClearMemory->start();
}

TFrmMainForm::~TFrmMainForm() = default;

TCustomProc &TFrmMainForm::CustomProc() const
{
    return m_context.Services->CustomProc();
}

TCommonLib &TFrmMainForm::CommonLib() const
{
    return m_context.Services->CommonLib();
}

void TFrmMainForm::CreateControls()
{
    rzfrmshpfrmConverter = Named(new toolkit::TShapedForm(this), "rzfrmshpfrmConverter");
    rzfrmshpfrmConverter->SetPicture(toolkit::ArtworkImage("background"));
    imgTitle = NewPicture(this, "imgTitle", "imgTitle");

    lblTitle = Named(new toolkit::TTitleLabel(this), "lblTitle");
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPixelSize(17);
    lblTitle->setFont(titleFont);
    lblTitle->setStyleSheet("color: #f2f6fb;");

    btnWindowMinimize = NewPictureButton(this, "btnWindowMinimize", "minimize", "Minimize");
    btnWindowClose = NewPictureButton(this, "btnWindowClose", "close", "Close");
    btnHomePage = NewPictureButton(this, "btnHomePage", "homepage", "Visit the home page");
    btnEMail = NewPictureButton(this, "btnEMail", "email", "Write to support");
    btnHelp = NewPictureButton(this, "btnHelp", "help", "Open the help page");
    btnAbout = NewPictureButton(this, "btnAbout", "about", "About Tonequill");

    CreatePreviewPane();
    CreateOutputSettings();
    CreateJobList();

    tmrClearMemory = Named(new QTimer(this), "tmrClearMemory");
    tmrClearMemory->setInterval(1000);
}

void TFrmMainForm::CreatePreviewPane()
{
    imgPlayer = NewPicture(this, "imgPlayer", "imgPlayer");
    imgPlay = NewPicture(this, "imgPlay", "imgPlay");

    pnlMediaView = Named(new QFrame(this), "pnlMediaView");
    pnlMediaView->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlMediaView->setStyleSheet("QFrame#pnlMediaView { background: #10161f; "
                                "border: 1px solid #0a0e14; }");
    imgLogo = NewPicture(pnlMediaView, "imgLogo", "logo");
    imgLogo->setAlignment(Qt::AlignCenter);
    imgLogo->setGeometry(2, 4, 256, 150);

    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setStyleSheet("QFrame#Panel1 { background: #2e3a4c; }");

    pbPlayState = Named(new QProgressBar(this), "pbPlayState");
    pbPlayState->setTextVisible(false);
    pbPlayState->setRange(0, 100);
    pbPlayState->setValue(0);
    pbPlayState->setStyleSheet(
        "QProgressBar { background: #1b2330; border: none; }"
        "QProgressBar::chunk { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
        "stop:0 #f6a048, stop:1 #c46010); }");

    btnPlay = NewPictureButton(this, "btnPlay", "play", "Play");
    btnPause = NewPictureButton(this, "btnPause", "pause", "Pause");
    RzBmpButton1 = NewPictureButton(this, "RzBmpButton1", "stop", "Stop");

    pnlCurTime = Named(new QLabel("00:00:00", this), "pnlCurTime");
    pnlCurTime->setAlignment(Qt::AlignCenter);
    pnlCurTime->setStyleSheet("QLabel { background: #111821; color: #9fe0a8; "
                              "border: 1px solid #0a0e14; font-family: 'DejaVu Sans Mono'; "
                              "font-size: 11px; }");

    dstrckbrMainform = Named(new QSlider(Qt::Horizontal, this), "dstrckbrMainform");
    dstrckbrMainform->hide();
}

void TFrmMainForm::CreateOutputSettings()
{
    lblOutputFileTypeName = NewLabel(this, "lblOutputFileTypeName", "Output FileType:");
    cbbOutputFiletype = Named(new QComboBox(this), "cbbOutputFiletype");
    lblProfileSettings = NewLabel(this, "lblProfileSettings", "Profile Settings:");
    cbbProfile = Named(new QComboBox(this), "cbbProfile");
    lblOutputFolderInfo = NewLabel(this, "lblOutputFolderInfo", "Output Folder:");
    edtOutputFolder = Named(new QLineEdit(this), "edtOutputFolder");
    edtOutputFolder->setReadOnly(true);
    edtOutputFolder->setText(QString::fromStdString(platform::DefaultOutputFolder()));
    btnSelectOutputFolder =
        NewPictureButton(this, "btnSelectOutputFolder", "folder", "Choose the output folder");
    chkShutdown =
        Named(new QCheckBox("Shutdown computer when job is finished.", this), "chkShutdown");
    chkShowOutputDirectory =
        Named(new QCheckBox("Show output directory when done", this), "chkShowOutputDirectory");
    chkShowOutputDirectory->setChecked(true);
    btnOptions = NewPictureButton(this, "btnOptions", "options",
                                  "Bitrate, sample rate, channels, "
                                  "volume and custom profiles");
}

void TFrmMainForm::CreateJobList()
{
    dxTreeSourceFileInfo = Named(new TJobGrid(this), "dxTreeSourceFileInfo");
    dxTreeSourceFileInfo->SetHeaderPicture(QIcon(toolkit::ArtworkPixmap("column-icon")));
    btnOpenFile = NewPictureButton(this, "btnOpenFile", "add", "Add files to the list");
    btnRemoveFile = NewPictureButton(this, "btnRemoveFile", "remove", "Remove the selected files");
    btnClearFile = NewPictureButton(this, "btnClearFile", "clear", "Remove every file");
    btnConvert = NewPictureButton(this, "btnConvert", "convert", "Convert the list");
}

void TFrmMainForm::ConnectHandlers()
{
    using Button = toolkit::TPictureButton;
    const auto onClick = [this](Button *button, void (TFrmMainForm::*handler)()) {
        connect(button, &Button::clicked, this, handler);
    };
    onClick(btnWindowMinimize, &TFrmMainForm::btnWindowMinimizeClick);
    onClick(btnWindowClose, &TFrmMainForm::btnWindowCloseClick);
    onClick(btnHomePage, &TFrmMainForm::btnHomePageClick);
    onClick(btnEMail, &TFrmMainForm::btnEMailClick);
    onClick(btnHelp, &TFrmMainForm::btnHelpClick);
    onClick(btnAbout, &TFrmMainForm::btnAboutClick);
    onClick(btnOptions, &TFrmMainForm::btnOptionsClick);
    onClick(btnSelectOutputFolder, &TFrmMainForm::btnSelectOutputFolderClick);
    onClick(btnOpenFile, &TFrmMainForm::btnOpenFileClick);
    onClick(btnRemoveFile, &TFrmMainForm::btnRemoveFileClick);
    onClick(btnClearFile, &TFrmMainForm::btnClearFileClick);
    onClick(btnPlay, &TFrmMainForm::btnPlayClick);
    onClick(btnPause, &TFrmMainForm::btnPauseClick);
    onClick(RzBmpButton1, &TFrmMainForm::RzBmpButton1Click);
    onClick(btnConvert, &TFrmMainForm::btnConvertClick);
    // "activated" is the user's pick; programmatic changes by the profile operations must not
    // apply a profile again.
    connect(cbbOutputFiletype, &QComboBox::activated, this, &TFrmMainForm::cbbOutputFiletypeChange);
    connect(cbbProfile, &QComboBox::activated, this, &TFrmMainForm::cbbProfileChange);
    connect(tmrClearMemory, &QTimer::timeout, this, &TFrmMainForm::tmrClearMemoryTimer);
}

void TFrmMainForm::CentreOnDesktop()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect area(QPoint(0, 0), size());
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }
}

// ---- what the batch driver uses ----

void TFrmMainForm::SetMainWindowEnabled(bool enabled)
{
    setEnabled(enabled);
}

bool TFrmMainForm::ShowOutputDirectoryChecked() const
{
    return chkShowOutputDirectory->isChecked();
}

bool TFrmMainForm::ShutdownChecked() const
{
    return chkShutdown->isChecked();
}

void TFrmMainForm::QuitApplication()
{
    QCoreApplication::quit();
}

// ---- window events ----

void TFrmMainForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_firstShowDone) {
        m_firstShowDone = true;
        rzfrmshpfrmConverter->ApplyShape();
        FormShow();
    }
}

void TFrmMainForm::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void TFrmMainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TFrmMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TFrmMainForm::dropEvent(QDropEvent *event)
{
    std::vector<std::string> names;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            names.push_back(url.toLocalFile().toStdString());
    event->acceptProposedAction();
    FormDropFiles(names);
}

// ---- handlers: each one call into an operation ----

void TFrmMainForm::FormShow()
{
    CustomProc().FillAllCombos(m_profileBinding->Controls(), m_options->Lists());
    setAcceptDrops(true);
    ShowSplash(this, m_context.ResourceLibraryPath, [this] { LoadSoftInfo(); });
    setWindowTitle(QCoreApplication::applicationName());
    CustomProc().ApplyProfile(m_profileBinding->Controls(), m_options->Lists());
}

void TFrmMainForm::FormClose()
{
    // The progress window and the Options dialog end with the main window.
    if (m_options)
        m_options->hide();
    QCoreApplication::quit();
}

void TFrmMainForm::FormResize()
{
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    m_layout.Apply(size());
}

void TFrmMainForm::FormDropFiles(const std::vector<std::string> &) {}

void TFrmMainForm::LoadSoftInfo()
{
    *m_context.SoftInfo = ::LoadSoftInfo(m_context.ResourceLibraryPath, m_context.ProgramFolder);
    lblTitle->setText(QString::fromStdString(TitleText(*m_context.SoftInfo)));
}

void TFrmMainForm::btnWindowMinimizeClick()
{
    showNormal();
    showMinimized();
}

void TFrmMainForm::btnWindowCloseClick()
{
    close();
}

void TFrmMainForm::btnHomePageClick()
{
    m_context.Actions->OpenHomePage();
}

void TFrmMainForm::btnEMailClick()
{
    m_context.Actions->SendEMail();
}

void TFrmMainForm::btnHelpClick()
{
    m_context.Actions->OpenHelp();
}

void TFrmMainForm::btnAboutClick()
{
    m_context.Actions->ShowAbout();
}

void TFrmMainForm::btnOptionsClick()
{
    m_options->Open();
}

void TFrmMainForm::cbbOutputFiletypeChange()
{
    CustomProc().ApplyProfile(m_profileBinding->Controls(), m_options->Lists());
}

void TFrmMainForm::cbbProfileChange()
{
    CustomProc().ApplyProfile(m_profileBinding->Controls(), m_options->Lists());
}

void TFrmMainForm::btnSelectOutputFolderClick()
{
    edtOutputFolder->setText(QString::fromStdString(
        m_context.FolderChooser->ChooseOutputFolder(edtOutputFolder->text().toStdString())));
}

void TFrmMainForm::btnOpenFileClick() {}

void TFrmMainForm::btnRemoveFileClick() {}

void TFrmMainForm::btnClearFileClick() {}

void TFrmMainForm::btnPlayClick() {}

void TFrmMainForm::btnPauseClick() {}

void TFrmMainForm::RzBmpButton1Click() {}

void TFrmMainForm::btnConvertClick()
{
    CustomProc().RowIndex = 0;
    CustomProc().ConvertAll(*dxTreeSourceFileInfo);
}

void TFrmMainForm::tmrClearMemoryTimer()
{
    CommonLib().TrimWorkingSet();
}
