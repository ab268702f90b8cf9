// The progress window's reading of encoder output: any sequence of output pieces, any segment
// length and any row counts keep both bars inside their scales and never fail; a progress line
// of the encoder's form moves the current-file bar to its whole seconds.
#include "FuzzCheck.h"
#include "conversion/ConversionState.h"
#include "conversion/ConvertParameterStruct.h"
#include "conversion/ConvertingProgress.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

void CheckBar(const TConvertingProgress::Bar &bar)
{
    if (bar.Maximum >= bar.Minimum)
        FUZZ_CHECK(bar.Position >= bar.Minimum && bar.Position <= bar.Maximum);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    TConversionState state;
    TConvertParameterStruct parameters;
    parameters.SourceFile = "/media/source.mp3";
    state.RowCount = input.ConsumeIntegralInRange(0, 5000);
    state.RowIndex = input.ConsumeIntegralInRange(0, state.RowCount + 1);
    state.LengthText = input.ConsumeBool() ? std::to_string(input.ConsumeIntegral<int32_t>())
                                           : input.ConsumeRandomLengthString(24);
    TConvertingProgress progress(state, parameters);
    progress.FormShow();

    while (input.remaining_bytes() > 0) {
        switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0: {
            // A line as the encoder writes it.
            const int seconds = input.ConsumeIntegralInRange(0, 100000);
            const std::string line =
                "size=     " + std::to_string(input.ConsumeIntegral<uint16_t>()) +
                "kB time=" + std::to_string(seconds) + "." +
                std::to_string(input.ConsumeIntegralInRange(0, 99)) + " bitrate= 128.0kbits/s";
            progress.ShowEncoderOutput(line);
            if (state.RefreshCount > 1 && seconds <= progress.Current.Maximum &&
                progress.Current.Minimum == 0)
                FUZZ_CHECK(progress.Current.Position == seconds);
            break;
        }
        case 1:
            progress.AnimationTick();
            break;
        case 2:
            state.RowIndex = input.ConsumeIntegralInRange(0, state.RowCount + 1);
            state.RefreshCount = input.ConsumeIntegralInRange(0, 2);
            progress.FormShow();
            break;
        default:
            progress.ShowEncoderOutput(input.ConsumeRandomLengthString(200));
            break;
        }
        CheckBar(progress.Current);
        CheckBar(progress.Total);
        FUZZ_CHECK(progress.AnimationCounter >= 0 &&
                   progress.AnimationCounter <= TConvertingProgress::kFrameCount);
        FUZZ_CHECK(progress.CurFileNameText == parameters.SourceFile);
    }
    return 0;
}
