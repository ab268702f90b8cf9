#pragma once

#include <string>

// The remembered source folder in Config/UserSettings.ini, section "USRInfo", key "InitDir".
// Write errors (EFCreateError "Cannot create file ...") are thrown to the caller.
//
// Use around the add-files dialog: ReadInitDir gives its start folder; afterwards, whether or
// not files were chosen, SaveInitDir gets the dialog's current file name.
class TUserSettings
{
public:
    // `programFolder` ends with "/"; `defaultFolder` (the home folder in the program) is used
    // when nothing is stored.
    TUserSettings(std::string programFolder, std::string defaultFolder);

    std::string ReadInitDir() const;
    // Stores the folder part of `chosenFileName` (up to and including its last "/"); stores
    // nothing when it has none, as before the dialog's first successful use.
    void SaveInitDir(const std::string &chosenFileName) const;

private:
    std::string SettingsPath() const;

    std::string m_programFolder;
    std::string m_defaultFolder;
};
