#include "support/AppFunc.h"

#include "platform/FileSystem.h"
#include "support/Errors.h"

#include <iomanip>
#include <locale>
#include <sstream>
#include <stdexcept>

namespace {

// The named locale, or the user's locale for "", or the classic one when neither exists.
std::locale TimeLocale(const std::string &name)
{
    try {
        return std::locale(name.c_str());
    } catch (const std::runtime_error &) {
        return std::locale::classic();
    }
}

} // namespace

TAppFunc::TAppFunc(std::string programFolder, std::string timeLocale, Clock clock)
    : m_programFolder(std::move(programFolder)), m_timeLocale(TimeLocale(timeLocale)),
      m_clock(clock ? std::move(clock) : Clock([] { return std::time(nullptr); }))
{
}

std::string TAppFunc::FormatNow(const char *format) const
{
    const std::time_t now = m_clock();
    std::tm local{};
    localtime_r(&now, &local);
    std::ostringstream text;
    text.imbue(m_timeLocale);
    text << std::put_time(&local, format);
    return text.str();
}

void TAppFunc::WriteLog(const std::string &message) const
{
    // The clock is read once for the date and once for the time.
    const std::string date = FormatNow("%x");
    const std::string time = FormatNow("%X");
    const std::string line = "Marlowbrook Soft " + date + " " + time + "|" + message + "\r\n";
    std::string reason;
    if (!platform::AppendToFile(LogPath(), line, &reason))
        throw EInOutError("I/O error on \"" + LogPath() + "\". " + reason);
}
