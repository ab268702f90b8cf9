#include "ProgressReporter.h"

namespace evc {

std::string ProgressReporter::ProgressText(double seconds, int64_t bytes)
{
    const double kbits = static_cast<double>(bytes) * 8.0 / 1000.0;
    const double bitrate = seconds > 0 ? kbits / seconds : 0.0;
    char text[128];
    std::snprintf(text, sizeof text, "size=%8lldkB time=%.2f bitrate=%6.1fkbits/s",
                  static_cast<long long>((bytes + 1023) / 1024), seconds, bitrate);
    return text;
}

std::string ProgressReporter::WaitingText()
{
    // Written with a fraction like every other time, so that the reader's cut at "." leaves
    // exactly the marker 10000000000.
    return "size=       0kB time=10000000000.00 bitrate=   0.0kbits/s";
}

void ProgressReporter::Line(const std::string &text)
{
    std::fprintf(m_out, "%s\n", text.c_str());
    std::fflush(m_out);
}

void ProgressReporter::Warning(const std::string &text)
{
    std::fprintf(m_warnings, "evc: warning: %s\n", text.c_str());
    std::fflush(m_warnings);
}

void ProgressReporter::Waiting()
{
    Line(WaitingText());
    m_last = Clock::now();
}

void ProgressReporter::Update(double seconds, int64_t bytes, bool force)
{
    const auto now = Clock::now();
    if (!force && m_any && now - m_last < std::chrono::milliseconds(250))
        return;
    if (!force && !m_any && now - m_last < std::chrono::milliseconds(250))
        return;
    m_any = true;
    m_last = now;
    Line(ProgressText(seconds, bytes));
}

} // namespace evc
