#include "formats/UserSettings.h"

#include "formats/ProfileIni.h"
#include "platform/FileSystem.h"
#include "support/IniFile32.h"

namespace {

inline constexpr const char *kSection = "USRInfo";
inline constexpr const char *kInitDirKey = "InitDir";

} // namespace

TUserSettings::TUserSettings(std::string programFolder, std::string defaultFolder)
    : m_programFolder(std::move(programFolder)), m_defaultFolder(std::move(defaultFolder))
{
}

std::string TUserSettings::ReadInitDir() const
{
    return TIniFile32(SettingsPath()).ReadString(kSection, kInitDirKey, m_defaultFolder);
}

void TUserSettings::SaveInitDir(const std::string &chosenFileName) const
{
    const size_t separator = chosenFileName.rfind(platform::kPathSeparator);
    if (separator == std::string::npos)
        return;
    TIniFile32 settings(SettingsPath());
    settings.WriteString(kSection, kInitDirKey, chosenFileName.substr(0, separator + 1));
}

std::string TUserSettings::SettingsPath() const
{
    return m_programFolder + "Config/" + kUserSettingsFile;
}
