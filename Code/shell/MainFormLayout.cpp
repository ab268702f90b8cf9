// The layout of the main window: every control at its design position and size (client
// coordinates of the 719 x 511 design area) with its anchors. Kept in one place so the picture
// of the window can be read from this table.

#include "shell/MainForm.h"
#include "toolkit/JobGrid.h"
#include "toolkit/PictureButton.h"
#include "toolkit/ShapedForm.h"
#include "toolkit/TitleLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

void TFrmMainForm::PlaceControls()
{
    using L = toolkit::TAnchoredLayout;
    constexpr int Stretch = L::Left | L::Top | L::Right;
    constexpr int Grow = L::Left | L::Top | L::Right | L::Bottom;
    const auto at = [](QWidget *w, int left, int top) {
        return QRect(QPoint(left, top), w->sizeHint());
    };

    // Back to front: background, then the artwork pictures, then the controls.
    m_layout.Place(rzfrmshpfrmConverter, {0, 0, kDesignWidth, kDesignHeight});
    m_layout.Place(imgTitle, {0, 0, 713, 65});
    m_layout.Place(imgPlayer, {2, 256, 265, 33});
    m_layout.Place(imgPlay, {16, 304, 257, 33});

    m_layout.Place(lblTitle, {168, 11, 433, 24});
    m_layout.Place(btnWindowMinimize, {614, 8, 31, 27});
    m_layout.Place(btnWindowClose, {648, 8, 31, 27});
    m_layout.Place(btnHomePage, {406, 63, 48, 41});
    m_layout.Place(btnEMail, {462, 63, 48, 41});
    m_layout.Place(btnHelp, {574, 63, 48, 41});
    m_layout.Place(btnAbout, {630, 63, 48, 41});

    m_layout.Place(pnlMediaView, {14, 115, 260, 158});
    m_layout.Place(Panel1, {15, 274, 260, 21});
    m_layout.Place(pbPlayState, {15, 294, 260, 10});
    m_layout.Place(btnPlay, {49, 307, 26, 22});
    m_layout.Place(btnPause, {81, 307, 26, 22});
    m_layout.Place(RzBmpButton1, {112, 307, 26, 22});
    m_layout.Place(pnlCurTime, {147, 309, 81, 17});

    m_layout.Place(lblOutputFileTypeName, at(lblOutputFileTypeName, 288, 130));
    m_layout.Place(cbbOutputFiletype, {368, 127, 304, 21}, Stretch);
    m_layout.Place(lblProfileSettings, at(lblProfileSettings, 288, 158));
    m_layout.Place(cbbProfile, {368, 154, 304, 21}, Stretch);
    m_layout.Place(lblOutputFolderInfo, at(lblOutputFolderInfo, 288, 185));
    m_layout.Place(edtOutputFolder, {368, 182, 264, 21}, Stretch);
    m_layout.Place(btnSelectOutputFolder, {643, 180, 29, 26});
    m_layout.Place(chkShutdown, {288, 215, 270, 17}, Stretch);
    m_layout.Place(chkShowOutputDirectory, {288, 240, 262, 17}, Stretch);
    m_layout.Place(btnOptions, {595, 216, 87, 29});

    m_layout.Place(dxTreeSourceFileInfo, {12, 336, 557, 158}, Grow);
    m_layout.Place(btnOpenFile, {576, 332, 108, 38});
    m_layout.Place(btnRemoveFile, {576, 367, 108, 38});
    m_layout.Place(btnClearFile, {576, 403, 108, 38});
    m_layout.Place(btnConvert, {576, 438, 108, 60});

    // Stacking follows creation order; the pictures behind the preview controls go to the back.
    imgPlay->lower();
    imgPlayer->lower();
    imgTitle->lower();
    rzfrmshpfrmConverter->lower();
}
