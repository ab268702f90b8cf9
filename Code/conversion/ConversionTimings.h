#pragma once

// The pauses of a conversion, in milliseconds. The program uses the defaults; tests shorten
// them so a batch does not cost five seconds per row.
struct TConversionTimings
{
    int BeforeStartMs = 2000; // before each row's encoder starts
    int AfterEndMs = 3000;    // after each row's encoder has ended
    int ProcessPollMs = 100;  // between two looks for a remaining encoder process
    int AfterOutputMs = 500;  // the runner's pause after each piece of output
    int StopPollMs = 100;     // between two termination attempts
    int StopGiveUpMs = 5000;  // termination attempts end after this long
};
