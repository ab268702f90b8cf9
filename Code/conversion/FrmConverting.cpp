#include "conversion/FrmConverting.h"

#include "conversion/ConversionLib.h"
#include "conversion/ConversionProc.h"
#include "conversion/EventPause.h"
#include "platform/SiblingFiles.h"
#include "support/MessageBoxes.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
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

// One running-light frame: a lit dot.
QPixmap FramePicture()
{
    QPixmap picture(kFrameSize, kFrameSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient light(QPointF(7, 7), 8);
    light.setColorAt(0, QColor(0xd8, 0xff, 0xc8));
    light.setColorAt(0.5, QColor(0x4c, 0xc2, 0x3a));
    light.setColorAt(1, QColor(0x1d, 0x6b, 0x16));
    painter.setBrush(light);
    painter.setPen(QPen(QColor(0x14, 0x4a, 0x10), 1));
    painter.drawEllipse(QRectF(1.5, 1.5, 14, 14));
    return picture;
}

// The Stop button's three states, drawn as pictures with the word on them.
QPixmap StopPicture(const QColor &top, const QColor &bottom, int textOffset)
{
    QPixmap picture(108, 38);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, 38);
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.setBrush(fill);
    painter.setPen(QPen(QColor(0x5a, 0x1a, 0x12), 1));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 107, 37), 8, 8);
    painter.setBrush(QColor(0xff, 0xff, 0xff));
    painter.setPen(Qt::NoPen);
    painter.drawRect(QRectF(20 + textOffset, 13 + textOffset, 12, 12));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(15);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(38 + textOffset, textOffset, 64, 38), Qt::AlignVCenter, "Stop");
    return picture;
}

// A button that is only its picture: up, hot (under the mouse) and down.
class TBitmapButton : public QAbstractButton
{
public:
    explicit TBitmapButton(QWidget *parent) : QAbstractButton(parent)
    {
        m_up = StopPicture(QColor(0xe0, 0x5a, 0x44), QColor(0xa3, 0x2a, 0x1c), 0);
        m_hot = StopPicture(QColor(0xf2, 0x76, 0x5e), QColor(0xb8, 0x36, 0x26), 0);
        m_down = StopPicture(QColor(0xa3, 0x2a, 0x1c), QColor(0xe0, 0x5a, 0x44), 1);
        setAttribute(Qt::WA_Hover);
        setCursor(Qt::PointingHandCursor);
    }
    QSize sizeHint() const override { return m_up.size(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, isDown() ? m_down : (underMouse() ? m_hot : m_up));
    }

private:
    QPixmap m_up, m_hot, m_down;
};

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
    setFixedSize(kClientWidth, kClientHeight);
    QFont font = this->font();
    font.setPixelSize(11);
    setFont(font);
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
    lblCurprog = MakeLabel(this, "lblCurprog", "Current File:", 24, 114);
    EndCaptionAt(lblCurprog, 84);
    ProgressBar1 = MakeBar(this, "ProgressBar1", 88, 112);

    const QPixmap frame = FramePicture();
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

    btnStop = new TBitmapButton(this);
    btnStop->setObjectName("btnStop");
    btnStop->setGeometry(296, 144, 108, 38);
    btnStop->setToolTip("Stop the conversion");
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
    // The window's background: a soft panel with a title band.
    QPainter painter(this);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, QColor(0xf4, 0xf6, 0xfa));
    fill.setColorAt(1, QColor(0xdc, 0xe2, 0xec));
    painter.fillRect(rect(), fill);
    QLinearGradient band(0, 0, 0, 36);
    band.setColorAt(0, QColor(0x3c, 0x5a, 0x8c));
    band.setColorAt(1, QColor(0x27, 0x3f, 0x66));
    painter.fillRect(QRect(0, 0, width(), 36), band);
    painter.setPen(Qt::white);
    QFont title = font();
    title.setPixelSize(15);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRect(24, 0, width() - 48, 36), Qt::AlignVCenter, "Converting");
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
