#pragma once

#include <array>
#include <string>

struct TConversionState;
struct TConvertParameterStruct;

// What the progress window shows, worked out without a window: the two bars, the labels, the
// status text and the running-light animation. The window copies these values to its controls
// after each handler.
class TConvertingProgress
{
public:
    struct Bar
    {
        int Minimum = 0;
        int Maximum = 1;
        int Position = 0;
    };

    static constexpr int kFrameCount = 6;
    static constexpr const char *kInitialTotalText = "Current: 1, Total: ...";
    static constexpr const char *kNoTimeYet = "10000000000";

    TConvertingProgress(TConversionState &state, const TConvertParameterStruct &parameters);

    // The window becomes visible.
    void FormShow();
    // One animation step.
    void AnimationTick();
    // One piece of encoder output (the window processes pending events before calling it).
    void ShowEncoderOutput(const std::string &text);
    void RefreshProgress();
    // After Stop: both bars empty, the label as at design time.
    void ResetAfterStop();

    Bar Total;                                   // pbTotal: the whole batch, 100 per row
    Bar Current;                                 // ProgressBar1: seconds of the current file
    std::string PersentText = kInitialTotalText; // lblPersent
    std::string CurFileNameText;                 // lblCurFileName
    std::string StatusText;                      // statState
    int AnimationCounter = 0;
    std::array<bool, kFrameCount> FrameVisible{}; // img1 .. img6

private:
    static void SetPosition(Bar &bar, long long position);
    void UpdateTotal();
    void ReadCurrentPosition();

    TConversionState &m_state;
    const TConvertParameterStruct &m_parameters;
};
