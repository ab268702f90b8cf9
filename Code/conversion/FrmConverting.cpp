#include "conversion/FrmConverting.h"

#include "conversion/ConversionLib.h"
#include "conversion/ConversionProc.h"
#include "conversion/EventPause.h"
#include "platform/SiblingFiles.h"
#include "support/MessageBoxes.h"
#include "toolkit/Accessibility.h"
#include "toolkit/Artwork.h"
#include "toolkit/PictureButton.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int kClientWidth = 435;
constexpr int kClientHeight = 222;
constexpr int kAnimationIntervalMs = 333;
constexpr int kFrameSize = 17;

QString ToQt(const std::string &text)
{
    return QString::fromStdString(text);
}

QLabel *MakeLabel(QWidget *parent, const char *name, const char *text, int left, int top)
{
    auto *label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(name);
    label->move(left, top);
    label->adjustSize();
    return label;
}

// Moves a caption left, where needed, so that it ends at `right`.
void EndCaptionAt(QLabel *label, int right)
{
    if (label->x() + label->width() > right)
        label->move(std::max(2, right - label->width()), label->y());
}

QProgressBar *MakeBar(QWidget *parent, const char *name, int left, int top)
{
    auto *bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setGeometry(left, top, 321, 17);
    bar->setTextVisible(false);
    bar->setRange(0, 1);
    bar->setValue(0);
    return bar;
}

void ApplyBar(QProgressBar *bar, const TConvertingProgress::Bar &state)
{
    // A maximum below the minimum would make Qt swap them; an empty bar shows instead.
    bar->setRange(state.Minimum, std::max(state.Minimum, state.Maximum));
    bar->setValue(state.Position);
}

} // namespace

TfrmConverting::TfrmConverting(TConversionProc &proc, TConversionLib &commonLib,
                               const TMessageBoxes &messages, TMainWindowControls &mainWindow,
                               QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_proc(proc), m_commonLib(commonLib), m_messages(messages), m_mainWindow(mainWindow),
      m_progress(proc, commonLib.ConvertParameter)
{
    setObjectName("frmConverting");
    setWindowTitle("Converting");
    toolkit::SetAccessibleRole(this, QAccessible::Dialog);
    setFixedSize(kClientWidth, kClientHeight);
    QFont font = this->font();
    font.setPixelSize(11);
    setFont(font);
    m_background = toolkit::ArtworkPixmap("converting-background");
    CreateControls();
}

TfrmConverting::~TfrmConverting() = default;

void TfrmConverting::CreateControls()
{
    lblInfo = MakeLabel(this, "lblInfo", "Please wait . . .", 24, 45);
    QFont bold = lblInfo->font();
    bold.setBold(true);
    lblInfo->setFont(bold);
    lblInfo->setGeometry(24, 45, 185, 20);
    lblCurConvertFileL = MakeLabel(this, "lblCurConvertFileL", "Current Convert File:", 88, 65);
    // The captions end where their values begin, whatever the width of the system's font.
    EndCaptionAt(lblCurConvertFileL, 188);
    lblCurFileName = MakeLabel(this, "lblCurFileName", "", 192, 64);
    lblCurFileName->setGeometry(192, 64, 217, 13);
    lblTotalFilr = MakeLabel(this, "lblTotalFilr", "Total File:", 24, 89);
    EndCaptionAt(lblTotalFilr, 84);
    pbTotal = MakeBar(this, "pbTotal", 88, 88);
    lblTotalFilr->setBuddy(pbTotal);
    lblCurprog = MakeLabel(this, "lblCurprog", "Current File:", 24, 114);
    EndCaptionAt(lblCurprog, 84);
    ProgressBar1 = MakeBar(this, "ProgressBar1", 88, 112);
    lblCurprog->setBuddy(ProgressBar1);

    const QPixmap frame = toolkit::ArtworkPixmap("running-light");
    for (int i = 0; i < TConvertingProgress::kFrameCount; ++i) {
        auto *image = new QLabel(this);
        image->setObjectName(QStringLiteral("img%1").arg(i + 1));
        image->setPixmap(frame);
        // The running light sits beside "Please wait . . ." where it covers no bar or label.
        image->setGeometry(218 + 21 * i, 47, kFrameSize, kFrameSize);
        image->hide();
        imgFrames[static_cast<std::size_t>(i)] = image;
    }

    lblPersent = MakeLabel(this, "lblPersent", TConvertingProgress::kInitialTotalText, 88, 144);
    lblPersent->setMinimumWidth(200);

    auto *stop = new toolkit::TPictureButton(this);
    stop->SetArtwork("converting-stop");
    btnStop = stop;
    btnStop->setObjectName("btnStop");
    btnStop->setGeometry(296, 144, 108, 38);
    btnStop->setText("&Stop"); // the word on the picture: the button's name
    btnStop->setToolTip("Stop the conversion");
    (new toolkit::TFocusMarks(this))->Watch(btnStop);
    connect(btnStop, &QAbstractButton::clicked, this, [this] { btnStop1Click(); });

    statState = new QStatusBar(this);
    statState->setObjectName("statState");
    statState->setSizeGripEnabled(false);
    statState->setGeometry(0, kClientHeight - 17, kClientWidth, 17);

    tmrChanging = new QTimer(this);
    tmrChanging->setObjectName("tmrChanging");
    tmrChanging->setInterval(kAnimationIntervalMs);
    connect(tmrChanging, &QTimer::timeout, this, [this] { tmrChangingTimer(); });

    actRefreshProgress = new QAction(this);
    actRefreshProgress->setObjectName("actRefreshProgress");
    connect(actRefreshProgress, &QAction::triggered, this, [this] { actRefreshProgressExecute(); });
}

void TfrmConverting::paintEvent(QPaintEvent *)
{
    QPainter(this).drawPixmap(0, 0, m_background);
}

void TfrmConverting::CenterOnDesktop()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect desktop = screen->availableGeometry();
    move(desktop.center() - QPoint(width() / 2, height() / 2));
}

void TfrmConverting::ApplyProgress()
{
    ApplyBar(pbTotal, m_progress.Total);
    ApplyBar(ProgressBar1, m_progress.Current);
    lblPersent->setText(ToQt(m_progress.PersentText));
    lblPersent->adjustSize();
    lblCurFileName->setText(ToQt(m_progress.CurFileNameText));
    lblCurFileName->setToolTip(ToQt(m_progress.CurFileNameText));
    statState->showMessage(ToQt(m_progress.StatusText));
    for (int i = 0; i < TConvertingProgress::kFrameCount; ++i)
        imgFrames[static_cast<std::size_t>(i)]->setVisible(
            m_progress.FrameVisible[static_cast<std::size_t>(i)]);
}

void TfrmConverting::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmConverting::FormShow()
{
    m_progress.FormShow();
    tmrChanging->start();
    ApplyProgress();
}

void TfrmConverting::tmrChangingTimer()
{
    m_progress.AnimationTick();
    for (int i = 0; i < TConvertingProgress::kFrameCount; ++i)
        imgFrames[static_cast<std::size_t>(i)]->setVisible(
            m_progress.FrameVisible[static_cast<std::size_t>(i)]);
}

void TfrmConverting::ShowEncoderOutput(const std::string &text)
{
    // Stop and the close box are handled here while a conversion runs.
    QCoreApplication::processEvents();
    if (m_proc.StopRequested)
        return; // after a Stop the window keeps what the Stop left
    m_progress.StatusText = text;
    m_progress.CurFileNameText = m_commonLib.ConvertParameter.SourceFile;
    actRefreshProgress->trigger();
}

void TfrmConverting::actRefreshProgressExecute()
{
    m_progress.RefreshProgress();
    ApplyProgress();
}

void TfrmConverting::ResetCurrentFileBar()
{
    m_progress.Current.Position = 0;
    ProgressBar1->setValue(0);
}

void TfrmConverting::ShowProgress()
{
    if (!isVisible()) {
        CenterOnDesktop();
        show();
    }
}

void TfrmConverting::HideProgress()
{
    hide();
}

bool TfrmConverting::AskYes(const char *question) const
{
    return m_messages.AppMessageBox(question, 2) == IdYes;
}

void TfrmConverting::StopAfterConfirmation()
{
    hide();
    m_mainWindow.SetMainWindowEnabled(true);
    m_proc.RequestStop();
    m_commonLib.StopEncoder(m_commonLib.ConvertParameter.EncoderPath);
}

void TfrmConverting::btnStop1Click()
{
    if (!AskYes(kStopQuestion))
        return;
    StopAfterConfirmation();
    m_commonLib.StopEncoder(platform::kEncoderFileName);
    m_progress.ResetAfterStop();
    ApplyProgress();
}

void TfrmConverting::closeEvent(QCloseEvent *event)
{
    // The window closes whatever the answer; on No the conversion goes on and the window comes
    // back with the next row.
    if (AskYes(kCloseQuestion))
        StopAfterConfirmation();
    event->accept();
}
