#include "shell/SiblingCheck.h"

#include "platform/FileSystem.h"
#include "platform/SiblingFiles.h"
#include "support/MessageBoxes.h"

std::string MissingSiblingMessage(const std::string &fileName)
{
    return "'" + fileName + "' is not found. Please reinstall this program.";
}

bool CheckSiblingFiles(const std::string &programFolder, const TMessageBoxes &messages)
{
    bool allFound = true;
    for (const char *name : {platform::kFormLibraryFileName, platform::kResourceLibraryFileName}) {
        if (!platform::FileExists(programFolder + name)) {
            messages.AppMessageBox(MissingSiblingMessage(name), 1);
            allFound = false;
        }
    }
    return allFound;
}
