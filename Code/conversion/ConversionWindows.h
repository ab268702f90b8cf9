#pragma once

#include <string>

// What the batch driver does with the progress window.
class TProgressDisplay
{
public:
    virtual ~TProgressDisplay() = default;
    virtual void ResetCurrentFileBar() = 0; // ProgressBar1 to position 0
    virtual void ShowProgress() = 0;        // shown, and left shown from row to row
    virtual void HideProgress() = 0;
    // The runner's output callback.
    virtual void ShowEncoderOutput(const std::string &text) = 0;
};

// What the batch driver reads from and does with the main window.
class TMainWindowControls
{
public:
    virtual ~TMainWindowControls() = default;
    virtual void SetMainWindowEnabled(bool enabled) = 0;
    // Convert alone: off for the whole batch, so that after a Stop, which enables the main
    // window while the stopped batch still winds down, it shows that it cannot start another.
    virtual void SetConvertEnabled(bool enabled) = 0;
    virtual bool ShowOutputDirectoryChecked() const = 0; // chkShowOutputDirectory
    virtual bool ShutdownChecked() const = 0;            // chkShutdown
    // Ends the application at once (after the power-off request).
    virtual void QuitApplication() = 0;
};
