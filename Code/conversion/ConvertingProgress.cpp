#include "conversion/ConvertingProgress.h"

#include "conversion/ConversionState.h"
#include "conversion/ConvertParameterStruct.h"
#include "support/TextFunc.h"

#include <climits>
#include <cmath>
#include <string>

namespace {

// A decimal integer as a whole text; false for anything else.
bool ReadInteger(const std::string &text, long long &value)
{
    if (text.empty() || text.size() > 18)
        return false;
    std::size_t used = 0;
    try {
        value = std::stoll(text, &used, 10);
    } catch (const std::exception &) {
        return false;
    }
    return used == text.size();
}

} // namespace

TConvertingProgress::TConvertingProgress(TConversionState &state,
                                         const TConvertParameterStruct &parameters)
    : m_state(state), m_parameters(parameters)
{
}

void TConvertingProgress::FormShow()
{
    AnimationCounter = 0;
    FrameVisible.fill(false);
    CurFileNameText = m_parameters.SourceFile;
    PersentText = "Current: 1, Total: " + std::to_string(m_state.RowCount);
    Total = Bar{0, 1, 0};
    Current = Bar{0, 1, 0};
}

void TConvertingProgress::AnimationTick()
{
    ++AnimationCounter;
    if (AnimationCounter == kFrameCount + 1)
        AnimationCounter = 1;
    if (AnimationCounter < 1 || AnimationCounter > kFrameCount)
        return;
    const int shown = AnimationCounter - 1;
    const int before = (shown + kFrameCount - 1) % kFrameCount;
    FrameVisible[static_cast<std::size_t>(shown)] = true;
    FrameVisible[static_cast<std::size_t>(before)] = false;
}

void TConvertingProgress::ShowEncoderOutput(const std::string &text)
{
    if (m_state.StopRequested)
        return;
    StatusText = text;
    CurFileNameText = m_parameters.SourceFile;
    RefreshProgress();
}

void TConvertingProgress::SetPosition(Bar &bar, long long position)
{
    if (position < bar.Minimum)
        position = bar.Minimum;
    if (position > bar.Maximum)
        position = bar.Maximum;
    bar.Position = static_cast<int>(position);
}

void TConvertingProgress::UpdateTotal()
{
    // A current-file bar of maximum 0 (a segment of no length) cannot give a share; the batch
    // bar and its label then stay as they are.
    if (Current.Maximum <= 0)
        return;
    const long long rows = m_state.RowCount;
    const long long total = rows * 100;
    if (total > INT_MAX)
        return;
    Total.Minimum = 0;
    Total.Maximum = static_cast<int>(total);
    const long long share = static_cast<long long>(Current.Position) * 100 / Current.Maximum;
    SetPosition(Total, share + static_cast<long long>(m_state.RowIndex) * 100);
    PersentText = "Current: " + std::to_string(m_state.RowIndex + 1) +
                  " , Total: " + std::to_string(m_state.RowCount) + ".";
}

void TConvertingProgress::ReadCurrentPosition()
{
    const std::vector<std::string> pieces = TTextFunc::SplitString(StatusText, '=');
    if (pieces.size() < 4)
        return;
    const std::vector<std::string> parts = TTextFunc::SplitString(pieces[2], '.');
    if (parts.empty() || parts[0] == kNoTimeYet)
        return;
    const double seconds = std::trunc(TTextFunc::TextToNumber(parts[0]));
    if (!std::isfinite(seconds) || seconds > INT_MAX || seconds < INT_MIN)
        return;
    SetPosition(Current, static_cast<long long>(seconds));
}

void TConvertingProgress::RefreshProgress()
{
    // Output still in the pipe when Stop killed the encoder arrives after the Stop's reset and
    // must not bring the bars and the label back.
    if (m_state.StopRequested)
        return;
    ++m_state.RefreshCount;
    if (m_state.RefreshCount <= 1)
        return;
    UpdateTotal();
    long long length = 0;
    if (ReadInteger(m_state.LengthText, length) && length >= 0 && length <= INT_MAX) {
        Current.Minimum = 0;
        Current.Maximum = static_cast<int>(length);
        SetPosition(Current, Current.Position);
    }
    if (StatusText.empty())
        return;
    ReadCurrentPosition();
}

void TConvertingProgress::ResetAfterStop()
{
    Current.Position = 0;
    Total.Maximum = 0;
    Total.Position = 0;
    PersentText = kInitialTotalText;
}
