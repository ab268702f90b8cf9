#include "formats/ProfileIni.h"

#include "support/IniFile32.h"

TProfileIni::TProfileIni(std::string programFolder) : m_programFolder(std::move(programFolder)) {}

std::string TProfileIni::ConfigPath(const std::string &fileName) const
{
    return m_programFolder + "Config/" + fileName;
}

std::vector<std::string> TProfileIni::ReadIniSections(const std::string &fileName) const
{
    std::vector<std::string> sections;
    TIniFile32(ConfigPath(fileName)).ReadSections(&sections);
    return sections;
}

std::string TProfileIni::ReadIniValue(const std::string &fileName, const std::string &name) const
{
    return TIniFile32(ConfigPath(fileName)).ReadString(name, name, "");
}
