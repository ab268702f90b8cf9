#pragma once

#include <cstdint>
#include <string>
#include <vector>

// File and folder services of the operating system. Paths are UTF-8 byte strings with "/" as the
// separator. Functions that can fail return false and, when `error` is given, put the system's
// reason text there (e.g. "No such file or directory").
namespace platform {

inline constexpr char kPathSeparator = '/';

// The folder of the running executable, ending with "/".
std::string ProgramFolder();
// The user's home folder, ending with "/".
std::string HomeFolder();
// The output folder used before the user picks one: HomeFolder() + "tonequill" (no trailing "/").
std::string DefaultOutputFolder();

bool PathExists(const std::string &path);   // anything: file, folder, link target
bool FileExists(const std::string &path);   // exists and is not a folder
bool FolderExists(const std::string &path); // exists and is a folder
// Size in bytes of the file, or -1 when it cannot be read.
int64_t FileSize(const std::string &path);

// Creates one folder whose parent exists. Fails when anything exists at `path` already.
bool CreateFolder(const std::string &path, std::string *error = nullptr);
// Creates a folder together with missing parents; true when it exists afterwards.
bool CreateFolderWithParents(const std::string &path, std::string *error = nullptr);
// Removes a folder only when it is empty.
bool RemoveEmptyFolder(const std::string &path, std::string *error = nullptr);
bool RemoveFile(const std::string &path, std::string *error = nullptr);

struct FolderEntry
{
    std::string name; // file name only
    bool isFolder = false;
    bool isHidden = false;   // the name begins with "."
    bool isReadOnly = false; // nobody has write permission
};

// The entries of `folder` in the order the system delivers them, without "." and "..".
bool ListFolderEntries(const std::string &folder, std::vector<FolderEntry> *entries,
                       std::string *error = nullptr);

// Reads the whole file. Fails when it does not exist or cannot be read.
bool ReadWholeFile(const std::string &path, std::string *bytes, std::string *error = nullptr);
// Replaces the file in one step: writes a temporary file in the same folder, flushes it to disk
// and renames it over `path`, so the file holds either its old or its new content. The folder
// is never created.
bool ReplaceFileContent(const std::string &path, const std::string &bytes,
                        std::string *error = nullptr);
// Appends to the file, creating it when missing; the file is closed on return in every case.
bool AppendToFile(const std::string &path, const std::string &bytes, std::string *error = nullptr);

// The system's reason text for the last failed call of this thread.
std::string LastErrorText();

} // namespace platform
