#pragma once

#include <ctime>
#include <functional>
#include <locale>
#include <string>

// Application services bound to the program folder; today the support log.
class TAppFunc
{
public:
    using Clock = std::function<std::time_t()>;

    // `programFolder` ends with "/". The log's date and time use the locale named by
    // `timeLocale` ("" = the user's locale from the environment, read once here); `clock` defaults
    // to the system clock.
    explicit TAppFunc(std::string programFolder, std::string timeLocale = std::string(),
                      Clock clock = Clock());

    // Appends "Marlowbrook Soft <date> <time>|<message>" and CR LF to ProgramFolder + "log.txt",
    // opening and closing the file on every call (created when missing). Throws EInOutError
    // when the file cannot be opened or written; the file is closed on every path.
    void WriteLog(const std::string &message) const;

    const std::string &ProgramFolder() const { return m_programFolder; }
    std::string LogPath() const { return m_programFolder + "log.txt"; }

private:
    std::string FormatNow(const char *format) const;

    std::string m_programFolder;
    std::locale m_timeLocale;
    Clock m_clock;
};
