#pragma once

#include <optional>
#include <string>

class TMessageBoxes;

// A modal folder-picking dialog. Returns the chosen folder, or nothing when cancelled.
class IFolderDialog
{
public:
    virtual ~IFolderDialog() = default;
    virtual std::optional<std::string> PickFolder(const std::string &title) = 0;
};

// Lets the user pick the output folder and checks that it can be written.
class TOutputFolderChooser
{
public:
    TOutputFolderChooser(IFolderDialog &dialog, const TMessageBoxes &messages);

    // Shows the dialog titled "Please select output folder:". A chosen folder that exists and
    // takes a new probe sub-folder is returned; otherwise "This is a read-only path." or
    // "The path is invalid." is shown and `current` is returned. The returned folder is created
    // (with parents) when missing; an error there is ignored. Never throws.
    std::string ChooseOutputFolder(const std::string &current) const;

private:
    bool IsWritableFolder(const std::string &folder) const;

    IFolderDialog &m_dialog;
    const TMessageBoxes &m_messages;
};
