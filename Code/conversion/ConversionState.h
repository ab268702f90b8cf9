#pragma once

#include <string>

// The state of a running batch, shared by the batch driver, the command builder and the
// progress window.
struct TConversionState
{
    // The row index that Stop sets; any value past the last row ends the batch loop.
    static constexpr int kStoppedRowIndex = 1024;

    int RowIndex = 0;     // row being converted, from 0
    int RowCount = 0;     // rows when the batch started, shown as the total
    int RefreshCount = 0; // pieces of encoder output delivered for the current row
    std::string CommandLine;
    std::string StartText;  // segment start of the current row, hh:mm:ss
    std::string LengthText; // segment length in whole seconds
    // Set by Stop and the progress window's close box; ends the batch whatever its length.
    bool StopRequested = false;
};
