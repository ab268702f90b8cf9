#pragma once

#include "formats/UserSettings.h"
#include "joblist/SourceFolderMemory.h"

#include <string>

// The open-file dialog's remembered start folder, kept in the user settings file.
class TSourceFolderBinding : public ISourceFolderMemory
{
public:
    TSourceFolderBinding(const std::string &programFolder, const std::string &defaultFolder);

    std::string ReadInitDir() override;
    void SaveInitDir(const std::string &folder) override;

private:
    TUserSettings m_settings;
};
