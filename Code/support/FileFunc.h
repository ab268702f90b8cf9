#pragma once

#include <string>
#include <vector>

// File-name and folder utilities. Paths use "/" as the folder separator.
class TFileFunc
{
public:
    // Full paths (folder + name) of the entries of `folder` (which ends with "/"), in the order
    // the system delivers them. Plain sub-folders are skipped; a sub-folder that is hidden (name
    // begins with ".") or read-only is listed; "." and ".." never are. A missing or unreadable
    // folder gives an empty list.
    std::vector<std::string> ListFolder(const std::string &folder) const;

    // The name part without its last extension: "a.b.mp3" -> "a.b", "clip." -> "clip",
    // "noext" -> "".
    static std::string BaseName(const std::string &path);
    // Everything up to and including the last "/" ("" when there is none).
    static std::string FolderOf(const std::string &path);
    // The text from the last "." of the name part, dot included ("" when the name has none).
    static std::string ExtensionOf(const std::string &path);

    // A path in the folder of `path` whose base name no entry of that folder has: the path
    // itself, else name_1.ext, name_2.ext, ... Base names compare without regard to letter
    // case, so an existing file is never overwritten on a case-insensitive file system either.
    std::string UniqueName(const std::string &path);

private:
    bool IsBaseTaken(const std::string &candidate) const;

    std::string RequestedBase;
};
