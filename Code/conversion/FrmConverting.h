#pragma once

#include "conversion/ConversionWindows.h"
#include "conversion/ConvertingProgress.h"

#include <QPixmap>
#include <QWidget>
#include <array>
#include <memory>

class QAction;
class QLabel;
class QProgressBar;
class QAbstractButton;
class QStatusBar;
class QTimer;
class TConversionLib;
class TConversionProc;
class TMessageBoxes;

// The progress window: the file being converted, a bar for it and one for the whole batch, the
// encoder's latest output in the status bar, a running light and the Stop button. Created once
// at start-up, hidden, and only shown and hidden afterwards.
class TfrmConverting : public QWidget, public TProgressDisplay
{
    Q_OBJECT

public:
    static constexpr const char *kStopQuestion = "Are you sure you want to stop the work ? ";
    static constexpr const char *kCloseQuestion = "Are you sure to stop processing ?";

    TfrmConverting(TConversionProc &proc, TConversionLib &commonLib, const TMessageBoxes &messages,
                   TMainWindowControls &mainWindow, QWidget *parent = nullptr);
    ~TfrmConverting() override;

    // TProgressDisplay
    void ResetCurrentFileBar() override;
    void ShowProgress() override;
    void HideProgress() override;
    void ShowEncoderOutput(const std::string &text) override;

    const TConvertingProgress &Progress() const { return m_progress; }

    // Handlers, by the names of their controls and events.
    void FormShow();
    void tmrChangingTimer();
    void actRefreshProgressExecute();
    void btnStop1Click();

    QLabel *lblInfo = nullptr;
    QLabel *lblCurConvertFileL = nullptr;
    QLabel *lblCurFileName = nullptr;
    QLabel *lblTotalFilr = nullptr;
    QProgressBar *pbTotal = nullptr;
    QLabel *lblCurprog = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    std::array<QLabel *, TConvertingProgress::kFrameCount> imgFrames{}; // img1 .. img6
    QLabel *lblPersent = nullptr;
    QAbstractButton *btnStop = nullptr;
    QStatusBar *statState = nullptr;
    QTimer *tmrChanging = nullptr;
    QAction *actRefreshProgress = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override; // FormClose
    void paintEvent(QPaintEvent *event) override;

private:
    void CreateControls();
    void CenterOnDesktop();
    void ApplyProgress();
    bool AskYes(const char *question) const;
    void StopAfterConfirmation();

    TConversionProc &m_proc;
    TConversionLib &m_commonLib;
    const TMessageBoxes &m_messages;
    TMainWindowControls &m_mainWindow;
    TConvertingProgress m_progress;
    QPixmap m_background; // a soft panel with the title band
};
