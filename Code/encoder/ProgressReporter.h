#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace evc {

// Writes the console lines that the converter reads: the banner, progress lines
// "size=     123kB time=12.75 bitrate= 128.0kbits/s" at most four a second (the time is
// 10000000000.00 until the first audio is written), and the last line on one stream (standard
// output); warnings go to another (standard error). Every line is flushed at once because the
// reader sits at the other end of a pipe.
class ProgressReporter
{
public:
    using Clock = std::chrono::steady_clock;

    explicit ProgressReporter(std::FILE *out, std::FILE *warnings = stderr)
        : m_out(out), m_warnings(warnings)
    {
    }

    void Line(const std::string &text);
    // "evc: warning: " and the text, on the warnings' stream.
    void Warning(const std::string &text);
    // Prints the line that says that no time is available yet.
    void Waiting();
    // Prints a progress line unless one was printed less than 250 ms ago (or `force`).
    void Update(double seconds, int64_t bytes, bool force = false);

    static std::string ProgressText(double seconds, int64_t bytes);
    static std::string WaitingText();

private:
    std::FILE *m_out;
    std::FILE *m_warnings;
    Clock::time_point m_last{};
    bool m_any = false;
};

} // namespace evc
