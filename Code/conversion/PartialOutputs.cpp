#include "conversion/PartialOutputs.h"

#include "platform/FileSystem.h"
#include "support/PartialOutput.h"

bool RemovePartialOutput(const std::string &outputPath, std::string *error)
{
    // The encoder falls back to the short name where the file system refuses the usual one.
    for (const std::string &partial :
         {PartialOutputPath(outputPath), ShortPartialOutputPath(outputPath)}) {
        if (platform::FileExists(partial) && !platform::RemoveFile(partial, error))
            return false;
    }
    return true;
}

std::vector<std::string> RemovePartialOutputsIn(const std::string &folder)
{
    std::vector<std::string> failed;
    std::vector<platform::FolderEntry> entries;
    if (folder.empty() || !platform::ListFolderEntries(folder, &entries))
        return failed;
    for (const platform::FolderEntry &entry : entries) {
        if (entry.isFolder || !IsPartialOutputName(entry.name))
            continue;
        if (!platform::RemoveFile(folder + entry.name))
            failed.push_back(folder + entry.name);
    }
    return failed;
}
