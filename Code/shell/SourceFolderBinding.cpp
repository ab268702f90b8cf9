#include "shell/SourceFolderBinding.h"

TSourceFolderBinding::TSourceFolderBinding(const std::string &programFolder,
                                           const std::string &defaultFolder)
    : m_settings(programFolder, defaultFolder)
{
}

std::string TSourceFolderBinding::ReadInitDir()
{
    return m_settings.ReadInitDir();
}

void TSourceFolderBinding::SaveInitDir(const std::string &folder)
{
    m_settings.SaveInitDir(folder);
}
