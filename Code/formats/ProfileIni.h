#pragma once

#include <string>
#include <vector>

inline constexpr const char *kProfileStoreFile = "UserProfileInfo.ini";
inline constexpr const char *kProfileCounterFile = "UserProfileCount.ini";
inline constexpr const char *kUserSettingsFile = "UserSettings.ini";

// Reads the settings files in the Config folder beside the program. Each call opens the file
// anew, so it sees what the last write left there.
class TProfileIni
{
public:
    // `programFolder` ends with "/".
    explicit TProfileIni(std::string programFolder);

    // programFolder + "Config/" + fileName.
    std::string ConfigPath(const std::string &fileName) const;

    // The section names of the file in file order; empty when the file does not exist.
    std::vector<std::string> ReadIniSections(const std::string &fileName) const;
    // The value of key `name` in section `name`; "" when absent.
    std::string ReadIniValue(const std::string &fileName, const std::string &name) const;

private:
    std::string m_programFolder;
};
