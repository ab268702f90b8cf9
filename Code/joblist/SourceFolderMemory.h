#pragma once

#include <string>

// The folder the open-file dialog starts in, remembered between runs by the user settings.
class ISourceFolderMemory
{
public:
    virtual ~ISourceFolderMemory() = default;

    virtual std::string ReadInitDir() = 0;
    virtual void SaveInitDir(const std::string &folder) = 0;
};
