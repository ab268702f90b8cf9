#pragma once

#include "conversion/ConversionWindows.h"
#include "formats/MainProfileBinding.h"
#include "preview/TimelineGeometry.h"
#include "toolkit/AnchoredLayout.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QSlider;
class QTimer;
class ISourceFileDialog;
class ISourceFolderMemory;
class IPreviewDisplay;
class TJobListEvents;
class TPreviewEvents;
class TQtMediaEngine;
class TSegmentSelection;
class TTimelineStrip;
class TCommonLib;
class TCustomProc;
class TJobGrid;
class TOutputFolderChooser;
class TServiceObjects;
class TSystemActions;
class TfrmOption;
struct RecSoftInfo;

namespace platform {
class ScreenSaverInhibitor;
}

namespace toolkit {
class TAnnouncer;
class TFocusMarks;
class TKeyboardWindowMover;
class TPictureButton;
class TShapedForm;
class TTitleLabel;
} // namespace toolkit

// What the main window needs from the rest of the program.
struct TMainFormContext
{
    TServiceObjects *Services = nullptr;
    RecSoftInfo *SoftInfo = nullptr;
    TSystemActions *Actions = nullptr;
    const TOutputFolderChooser *FolderChooser = nullptr;
    // Held off while a preview video plays; may be null.
    platform::ScreenSaverInhibitor *ScreenSaver = nullptr;
    // The job list's open-file dialog; null: the window makes its own Qt dialog.
    ISourceFileDialog *SourceDialog = nullptr;
    std::string ProgramFolder;       // ends with "/"
    std::string ResourceLibraryPath; // Res.so beside the program
};

// The main window: a borderless window shaped by its background picture, with the output
// settings, the preview pane, the job list and the buttons that reach the program's operations.
//
// Every control is a public member named as in the layout (its objectName is the same), so the
// subsystems that give a control its behaviour wire it in MainForm.cpp: each event handler below
// is one call into an operation.
class TFrmMainForm : public QWidget, public TMainWindowControls
{
    Q_OBJECT

public:
    static constexpr int kDesignWidth = 719;
    static constexpr int kDesignHeight = 511;
    static constexpr int kMinimumWidth = 686;
    static constexpr int kMinimumHeight = 519;

    explicit TFrmMainForm(const TMainFormContext &context, QWidget *parent = nullptr);
    ~TFrmMainForm() override;

    // TMainWindowControls: what the batch driver reads from and does with the main window.
    void SetMainWindowEnabled(bool enabled) override;
    void SetConvertEnabled(bool enabled) override;
    bool ShowOutputDirectoryChecked() const override;
    bool ShutdownChecked() const override;
    void QuitApplication() override;

    // The Options dialog, created after the main window; must be set before the first show.
    void SetOptionsDialog(TfrmOption *dialog) { m_options = dialog; }
    TfrmOption *OptionsDialog() const { return m_options; }
    // The profile operations' view of cbbOutputFiletype, cbbProfile and btnOptions.
    TMainProfileBinding &ProfileBinding() { return *m_profileBinding; }
    // True once the first-show steps have run.
    bool FirstShowDone() const { return m_firstShowDone; }

    // Background, title and chrome.
    toolkit::TShapedForm *rzfrmshpfrmConverter;
    QLabel *imgTitle;
    toolkit::TTitleLabel *lblTitle;
    toolkit::TPictureButton *btnWindowMinimize;
    toolkit::TPictureButton *btnWindowClose;
    // System actions.
    toolkit::TPictureButton *btnHomePage;
    toolkit::TPictureButton *btnEMail;
    toolkit::TPictureButton *btnHelp;
    toolkit::TPictureButton *btnAbout;
    // Preview pane: artwork behind it, the video panel with its logo, the timeline strip, the
    // play-state bar, the player buttons, the time display and the hidden track bar.
    QLabel *imgPlayer;
    QLabel *imgPlay;
    QFrame *pnlMediaView;
    QLabel *imgLogo;
    QFrame *Panel1;
    QProgressBar *pbPlayState;
    toolkit::TPictureButton *btnPlay;
    toolkit::TPictureButton *btnPause;
    toolkit::TPictureButton *RzBmpButton1; // stop
    QLabel *pnlCurTime;
    // The seek bar of the preview, never shown or connected: the position shows in pbPlayState.
    QSlider *dstrckbrMainform;
    // Output settings.
    QLabel *lblOutputFileTypeName;
    QComboBox *cbbOutputFiletype;
    QLabel *lblProfileSettings;
    QComboBox *cbbProfile;
    QLabel *lblOutputFolderInfo;
    QLineEdit *edtOutputFolder;
    toolkit::TPictureButton *btnSelectOutputFolder;
    QCheckBox *chkShutdown;
    QCheckBox *chkShowOutputDirectory;
    toolkit::TPictureButton *btnOptions;
    // Job list.
    TJobGrid *dxTreeSourceFileInfo;
    toolkit::TPictureButton *btnOpenFile;
    toolkit::TPictureButton *btnRemoveFile;
    toolkit::TPictureButton *btnClearFile;
    toolkit::TPictureButton *btnConvert;
    // Non-visual.
    QTimer *tmrClearMemory;
    // The preview's playback engine, its video window inside pnlMediaView.
    std::unique_ptr<TQtMediaEngine> FilterGraph;
    // The timeline's images and markers inside Panel1.
    std::unique_ptr<TTimelineStrip> TimelineStrip;

    // Event handlers.
    void FormShow();
    void FormClose();
    void FormResize();
    void FormDropFiles(const std::vector<std::string> &names);
    void btnWindowMinimizeClick();
    void btnWindowCloseClick();
    void btnHomePageClick();
    void btnEMailClick();
    void btnHelpClick();
    void btnAboutClick();
    void btnOptionsClick();
    void cbbOutputFiletypeChange();
    void cbbProfileChange();
    void btnSelectOutputFolderClick();
    void btnOpenFileClick();
    void btnRemoveFileClick();
    void btnClearFileClick();
    void btnPlayClick();
    void btnPauseClick();
    void RzBmpButton1Click();
    void btnConvertClick();
    void tmrClearMemoryTimer();
    void dxTreeSourceFileInfoClick();
    void dxTreeSourceFileInfoDblClick();
    void Splitter1Moved();
    void Splitter2Moved();
    void PanelMouseDown(TTimelineGeometry::Image image, TTimelineGeometry::Button button, int step);
    // Fills RecSoftInfo from the resource library and sets the title label.
    void LoadSoftInfo();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void CreateControls();
    void CreatePreviewPane();
    void CreateOutputSettings();
    void CreateJobList();
    void PlaceControls();
    void ConnectHandlers();
    void CreateJobListAndPreview();
    void ConnectJobListAndPreview();
    void SetUpKeyboard();
    void CentreOnDesktop();
    TCustomProc &CustomProc() const;
    TCommonLib &CommonLib() const;

    TMainFormContext m_context;
    toolkit::TAnchoredLayout m_layout{QSize(kDesignWidth, kDesignHeight)};
    std::unique_ptr<TMainProfileBinding> m_profileBinding;
    TfrmOption *m_options = nullptr;
    bool m_firstShowDone = false;
    TTimelineGeometry m_timelineGeometry;
    std::unique_ptr<IPreviewDisplay> m_previewDisplay;
    std::unique_ptr<ISourceFileDialog> m_ownSourceDialog;
    std::unique_ptr<ISourceFolderMemory> m_sourceFolder;
    std::unique_ptr<TJobListEvents> m_jobListEvents;
    std::unique_ptr<TSegmentSelection> m_segments;
    std::unique_ptr<TPreviewEvents> m_previewEvents;
    toolkit::TFocusMarks *m_focusMarks = nullptr;
    toolkit::TAnnouncer *m_announcer = nullptr;
    toolkit::TKeyboardWindowMover *m_windowMover = nullptr;
    QPointer<QWidget> m_focusBeforeDisabling;
};
