#include "support/OutputFolderChooser.h"

#include "platform/FileSystem.h"
#include "support/MessageBoxes.h"

#include <random>

namespace {

std::string JoinPath(const std::string &folder, const std::string &name)
{
    if (!folder.empty() && folder.back() == platform::kPathSeparator)
        return folder + name;
    return folder + platform::kPathSeparator + name;
}

// A probe name that nothing in `folder` uses yet.
std::string FreeProbePath(const std::string &folder)
{
    std::random_device seed;
    std::mt19937 generator(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string probe =
            JoinPath(folder, ".tonequill-write-test-" + std::to_string(generator()));
        if (!platform::PathExists(probe))
            return probe;
    }
    return std::string();
}

} // namespace

TOutputFolderChooser::TOutputFolderChooser(IFolderDialog &dialog, const TMessageBoxes &messages)
    : m_dialog(dialog), m_messages(messages)
{
}

bool TOutputFolderChooser::IsWritableFolder(const std::string &folder) const
{
    // The probe is a folder of our own that did not exist before, so removing it afterwards
    // never touches anything of the user's.
    const std::string probe = FreeProbePath(folder);
    if (probe.empty() || !platform::CreateFolder(probe))
        return false;
    platform::RemoveEmptyFolder(probe);
    return true;
}

std::string TOutputFolderChooser::ChooseOutputFolder(const std::string &current) const
{
    std::string result = current;
    const std::optional<std::string> picked = m_dialog.PickFolder("Please select output folder:");
    if (picked && !picked->empty()) {
        if (!platform::FolderExists(*picked))
            m_messages.ShowMsg("The path is invalid.", 1);
        else if (!IsWritableFolder(*picked))
            m_messages.ShowMsg("This is a read-only path.", 1);
        else
            result = *picked;
    }
    if (!result.empty() && !platform::FolderExists(result))
        platform::CreateFolderWithParents(result); // a failure shows up when writing there
    return result;
}
