#include "shell/MainForm.h"

#include "formats/FrmOption.h"
#include "joblist/JobListEvents.h"
#include "joblist/QtSourceFileDialog.h"
#include "platform/FileSystem.h"
#include "preview/PreviewEvents.h"
#include "preview/QtMediaEngine.h"
#include "preview/SegmentSelection.h"
#include "preview/TimelineStrip.h"
#include "shell/FlashForm.h"
#include "shell/PreviewDisplayBinding.h"
#include "shell/ServiceObjects.h"
#include "shell/SoftInfo.h"
#include "shell/SourceFolderBinding.h"
#include "shell/SystemActions.h"
#include "support/OutputFolderChooser.h"
#include "toolkit/Accessibility.h"
#include "toolkit/Artwork.h"
#include "toolkit/JobGrid.h"
#include "toolkit/PictureButton.h"
#include "toolkit/ShapedForm.h"
#include "toolkit/TitleLabel.h"

#include <QApplication>
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
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QTimer>
#include <QVideoWidget>

namespace {

template <typename Widget> Widget *Named(Widget *widget, const char *name)
{
    widget->setObjectName(name);
    return widget;
}

// `caption` is the word the picture shows (or its tooltip where it shows only a symbol): the
// button's accessible name, with an "&" before the letter of its Alt shortcut.
toolkit::TPictureButton *NewPictureButton(QWidget *parent, const char *name, const char *artwork,
                                          const char *caption, const char *toolTip)
{
    auto *button = Named(new toolkit::TPictureButton(parent), name);
    button->SetArtwork(artwork);
    button->setText(QString::fromUtf8(caption));
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
    toolkit::SetAccessibleRole(this, QAccessible::Window);
    QFont windowFont("DejaVu Sans Condensed");
    windowFont.setPixelSize(12);
    setFont(windowFont);
    CreateControls();
    PlaceControls();
    m_profileBinding =
        std::make_unique<TMainProfileBinding>(cbbOutputFiletype, cbbProfile, btnOptions);
    CreateJobListAndPreview();
    ConnectHandlers();
    ConnectJobListAndPreview();
    SetUpKeyboard();
    // Set before the first show, so that the window is mapped at its final size and a window
    // manager that reparents it reports where it really is.
    setMinimumSize(kMinimumWidth, kMinimumHeight);
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

    btnWindowMinimize =
        NewPictureButton(this, "btnWindowMinimize", "minimize", "Minimize", "Minimize");
    btnWindowClose = NewPictureButton(this, "btnWindowClose", "close", "Close", "Close");
    btnHomePage = NewPictureButton(this, "btnHomePage", "homepage", "Home", "Visit the home page");
    btnEMail = NewPictureButton(this, "btnEMail", "email", "E-mail", "Write to support");
    btnHelp = NewPictureButton(this, "btnHelp", "help", "Help", "Open the help page");
    btnAbout = NewPictureButton(this, "btnAbout", "about", "About", "About Tonequill");

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
    pbPlayState->setAccessibleName("Playback position");
    pbPlayState->setStyleSheet(
        "QProgressBar { background: #1b2330; border: none; }"
        "QProgressBar::chunk { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
        "stop:0 #f6a048, stop:1 #c46010); }");

    btnPlay = NewPictureButton(this, "btnPlay", "play", "&Play", "Play");
    btnPause = NewPictureButton(this, "btnPause", "pause", "Pa&use", "Pause");
    RzBmpButton1 = NewPictureButton(this, "RzBmpButton1", "stop", "&Stop", "Stop");

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
        NewPictureButton(this, "btnSelectOutputFolder", "folder", "Choose the output &folder",
                         "Choose the output folder");
    chkShutdown =
        Named(new QCheckBox("Shutdown computer when job is finished.", this), "chkShutdown");
    chkShowOutputDirectory =
        Named(new QCheckBox("Show output directory when done", this), "chkShowOutputDirectory");
    chkShowOutputDirectory->setChecked(true);
    lblOutputFileTypeName->setBuddy(cbbOutputFiletype);
    lblProfileSettings->setBuddy(cbbProfile);
    lblOutputFolderInfo->setBuddy(edtOutputFolder);
    btnOptions = NewPictureButton(this, "btnOptions", "options", "&Options",
                                  "Bitrate, sample rate, channels, "
                                  "volume and custom profiles");
}

void TFrmMainForm::CreateJobList()
{
    dxTreeSourceFileInfo = Named(new TJobGrid(this), "dxTreeSourceFileInfo");
    dxTreeSourceFileInfo->SetHeaderPicture(QIcon(toolkit::ArtworkPixmap("column-icon")));
    dxTreeSourceFileInfo->setAccessibleName("File list");
    btnOpenFile = NewPictureButton(this, "btnOpenFile", "add", "&Add", "Add files to the list");
    btnRemoveFile =
        NewPictureButton(this, "btnRemoveFile", "remove", "&Remove", "Remove the selected files");
    btnClearFile = NewPictureButton(this, "btnClearFile", "clear", "C&lear", "Remove every file");
    btnConvert = NewPictureButton(this, "btnConvert", "convert", "&Convert", "Convert the list");
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

void TFrmMainForm::CreateJobListAndPreview()
{
    TAppFunc &appFunc = m_context.Services->AppFunc();
    const auto writeLog = [&appFunc](const std::string &message) { appFunc.WriteLog(message); };
    FilterGraph = std::make_unique<TQtMediaEngine>(pnlMediaView, m_context.ScreenSaver, writeLog);
    m_previewDisplay = std::make_unique<TPreviewDisplayBinding>(imgLogo, FilterGraph->VideoWindow(),
                                                                pnlCurTime, pbPlayState);
    CustomProc().BindPreview(*FilterGraph, *m_previewDisplay, CommonLib().PreviewFile, writeLog);

    TimelineStrip =
        std::make_unique<TTimelineStrip>(Panel1, m_timelineGeometry, CustomProc().Timeline);
    TimelineStrip->SetPictures(toolkit::ArtworkPixmap("timeline-track"),
                               toolkit::ArtworkImage("marker-start"),
                               toolkit::ArtworkImage("marker-end"));
    m_segments = std::make_unique<TSegmentSelection>(CustomProc(), m_timelineGeometry);
    m_previewEvents =
        std::make_unique<TPreviewEvents>(CustomProc(), *m_segments, m_timelineGeometry);

    ISourceFileDialog *dialog = m_context.SourceDialog;
    if (dialog == nullptr) {
        m_ownSourceDialog = std::make_unique<TQtSourceFileDialog>(this);
        dialog = m_ownSourceDialog.get();
    }
    m_sourceFolder =
        std::make_unique<TSourceFolderBinding>(m_context.ProgramFolder, platform::HomeFolder());
    TCustomProc &customProc = CustomProc();
    m_jobListEvents =
        std::make_unique<TJobListEvents>(CommonLib(), *dxTreeSourceFileInfo, *dialog,
                                         *m_sourceFolder, [&customProc] { customProc.StopPlay(); });
}

void TFrmMainForm::ConnectJobListAndPreview()
{
    m_jobListEvents->ConnectGrid();
    connect(dxTreeSourceFileInfo, &QAbstractItemView::clicked, this,
            &TFrmMainForm::dxTreeSourceFileInfoClick);
    connect(dxTreeSourceFileInfo, &QAbstractItemView::doubleClicked, this,
            &TFrmMainForm::dxTreeSourceFileInfoDblClick);
    connect(TimelineStrip.get(), &TTimelineStrip::Splitter1Moved, this,
            &TFrmMainForm::Splitter1Moved);
    connect(TimelineStrip.get(), &TTimelineStrip::Splitter2Moved, this,
            &TFrmMainForm::Splitter2Moved);
    connect(TimelineStrip.get(), &TTimelineStrip::ImagePressed, this,
            &TFrmMainForm::PanelMouseDown);
    connect(dxTreeSourceFileInfo, &TJobGrid::RowChosenByKey, this,
            &TFrmMainForm::dxTreeSourceFileInfoClick);
    connect(dxTreeSourceFileInfo, &TJobGrid::ReturnKeyPressed, this,
            &TFrmMainForm::dxTreeSourceFileInfoDblClick);
}

// Keyboard use: the Tab order follows the window from top to bottom, every control shows a
// focus mark, the window can be moved without a mouse, and the common commands have keys.
void TFrmMainForm::SetUpKeyboard()
{
    const std::vector<QWidget *> order{btnWindowMinimize,
                                       btnWindowClose,
                                       btnHomePage,
                                       btnEMail,
                                       btnHelp,
                                       btnAbout,
                                       TimelineStrip->Splitter1(),
                                       TimelineStrip->Splitter2(),
                                       btnPlay,
                                       btnPause,
                                       RzBmpButton1,
                                       cbbOutputFiletype,
                                       cbbProfile,
                                       edtOutputFolder,
                                       btnSelectOutputFolder,
                                       chkShutdown,
                                       chkShowOutputDirectory,
                                       btnOptions,
                                       dxTreeSourceFileInfo,
                                       btnOpenFile,
                                       btnRemoveFile,
                                       btnClearFile,
                                       btnConvert};
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    m_focusMarks = new toolkit::TFocusMarks(this);
    m_focusMarks->WatchFocusableChildren(this);
    m_announcer = new toolkit::TAnnouncer(this);
    m_windowMover = new toolkit::TKeyboardWindowMover(this);

    const auto onKeys = [this](const QKeySequence &keys, auto handler) {
        auto *shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, handler);
    };
    onKeys(QKeySequence(Qt::Key_F1), [this] { btnHelp->click(); });
    onKeys(QKeySequence(Qt::CTRL | Qt::Key_O), [this] { btnOpenFile->click(); });
    onKeys(QKeySequence(Qt::CTRL | Qt::Key_Return), [this] { btnConvert->click(); });
    onKeys(QKeySequence(Qt::CTRL | Qt::Key_Enter), [this] { btnConvert->click(); });
    // The window menu's "Move" of framed windows.
    onKeys(QKeySequence(Qt::ALT | Qt::Key_F7), [this] { m_windowMover->Start(); });
    btnOpenFile->setFocus();
}

void TFrmMainForm::CentreOnDesktop()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(toolkit::PlaceWithin(screen->availableGeometry(), size()));
}

// ---- what the batch driver uses ----

// Disabling takes the focus away; it goes back to the control that had it, and the end of the
// conversion is told to assistive technology.
void TFrmMainForm::SetMainWindowEnabled(bool enabled)
{
    if (enabled == isEnabled())
        return;
    if (!enabled) {
        m_focusBeforeDisabling = focusWidget();
        setEnabled(false);
        return;
    }
    setEnabled(true);
    if (m_focusBeforeDisabling)
        m_focusBeforeDisabling->setFocus();
    if (QApplication::activeWindow() == nullptr)
        activateWindow();
    // Stop enables the window before it marks the batch as stopped.
    QTimer::singleShot(0, this, [this] {
        m_announcer->Announce(CustomProc().StopRequested ? "Conversion stopped."
                                                         : "Conversion finished.");
    });
}

void TFrmMainForm::SetConvertEnabled(bool enabled)
{
    btnConvert->setEnabled(enabled);
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
    const std::vector<std::string> names =
        TJobListEvents::DroppedFileNames(event->mimeData()->urls());
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
    btnOpenFile->setFocus();
}

void TFrmMainForm::FormClose()
{
    // The progress window and the Options dialog end with the main window.
    if (m_options)
        m_options->hide();
    FilterGraph->SetActive(false);
    FilterGraph->ClearGraph();
    QCoreApplication::quit();
}

void TFrmMainForm::FormResize()
{
    m_layout.Apply(size());
}

void TFrmMainForm::FormDropFiles(const std::vector<std::string> &names)
{
    m_jobListEvents->FormDropFiles(names);
}

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

void TFrmMainForm::btnOpenFileClick()
{
    m_jobListEvents->btnOpenFileClick();
}

void TFrmMainForm::btnRemoveFileClick()
{
    m_jobListEvents->btnRemoveFileClick();
}

void TFrmMainForm::btnClearFileClick()
{
    m_jobListEvents->btnClearFileClick();
}

void TFrmMainForm::btnPlayClick()
{
    m_previewEvents->btnPlayClick(*dxTreeSourceFileInfo);
}

void TFrmMainForm::btnPauseClick()
{
    m_previewEvents->btnPauseClick();
}

void TFrmMainForm::RzBmpButton1Click()
{
    m_previewEvents->RzBmpButton1Click();
}

void TFrmMainForm::dxTreeSourceFileInfoClick()
{
    m_previewEvents->dxTreeSourceFileInfoClick(*dxTreeSourceFileInfo);
    TimelineStrip->Relayout();
}

void TFrmMainForm::dxTreeSourceFileInfoDblClick()
{
    m_previewEvents->dxTreeSourceFileInfoDblClick(*dxTreeSourceFileInfo);
}

void TFrmMainForm::Splitter1Moved()
{
    m_previewEvents->Splitter1Moved(*dxTreeSourceFileInfo);
}

void TFrmMainForm::Splitter2Moved()
{
    m_previewEvents->Splitter2Moved(*dxTreeSourceFileInfo);
}

void TFrmMainForm::PanelMouseDown(TTimelineGeometry::Image image, TTimelineGeometry::Button button,
                                  int step)
{
    m_previewEvents->PanelMouseDown(image, button, step, *dxTreeSourceFileInfo);
    TimelineStrip->Relayout();
}

void TFrmMainForm::btnConvertClick()
{
    // After Stop the window is usable again while the stopped batch still winds down; a click
    // then starts nothing.
    if (CustomProc().Converting())
        return;
    CustomProc().RowIndex = 0;
    CustomProc().ConvertAll(*dxTreeSourceFileInfo);
}

void TFrmMainForm::tmrClearMemoryTimer()
{
    CommonLib().TrimWorkingSet();
}
