#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

void SetError(std::string *error, int code)
{
    if (error)
        *error = std::strerror(code);
}

std::string WithTrailingSeparator(std::string path)
{
    if (path.empty() || path.back() != kPathSeparator)
        path += kPathSeparator;
    return path;
}

std::string WithoutTrailingSeparators(std::string path)
{
    while (path.size() > 1 && path.back() == kPathSeparator)
        path.pop_back();
    return path;
}

std::string FolderPartOf(const std::string &path)
{
    const size_t slash = path.rfind(kPathSeparator);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Closes a descriptor on every path out of a scope.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    // Returns false (errno set) when closing reports a failed write.
    bool Close()
    {
        if (m_fd < 0)
            return true;
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, const std::string &bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

// A name in `folder` for the temporary file of a replacement, unlikely to meet another one.
std::string TemporaryNameFor(const std::string &path)
{
    static unsigned counter = 0;
    const size_t slash = path.rfind(kPathSeparator);
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + ".tmp-" + std::to_string(::getpid()) + "-" +
           std::to_string(++counter);
}

bool SyncFolderOf(const std::string &path)
{
    std::string folder = FolderPartOf(path);
    if (folder.empty())
        folder = ".";
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.IsOpen())
        return false;
    return ::fsync(fd.Get()) == 0;
}

} // namespace

std::string ProgramFolder()
{
    if (QCoreApplication::instance())
        return WithTrailingSeparator(QCoreApplication::applicationDirPath().toStdString());
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return "./";
    return FolderPartOf(std::string(buffer, static_cast<size_t>(n)));
}

std::string HomeFolder()
{
    const char *home = std::getenv("HOME");
    if (!home || !*home)
        return "/";
    return WithTrailingSeparator(home);
}

std::string DefaultOutputFolder()
{
    return HomeFolder() + "tonequill";
}

bool PathExists(const std::string &path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

bool FileExists(const std::string &path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool FolderExists(const std::string &path)
{
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int64_t FileSize(const std::string &path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
        return -1;
    return static_cast<int64_t>(info.st_size);
}

bool CreateFolder(const std::string &path, std::string *error)
{
    if (::mkdir(WithoutTrailingSeparators(path).c_str(), 0777) == 0)
        return true;
    SetError(error, errno);
    return false;
}

bool CreateFolderWithParents(const std::string &path, std::string *error)
{
    const std::string target = WithoutTrailingSeparators(path);
    if (target.empty()) {
        SetError(error, ENOENT);
        return false;
    }
    // Create every missing level from the top down.
    size_t position = 0;
    while (position != std::string::npos) {
        position = target.find(kPathSeparator, position + 1);
        const std::string level = target.substr(0, position);
        if (level.empty() || FolderExists(level))
            continue;
        if (::mkdir(level.c_str(), 0777) != 0 && errno != EEXIST) {
            SetError(error, errno);
            return false;
        }
    }
    if (FolderExists(target))
        return true;
    SetError(error, ENOTDIR);
    return false;
}

bool RemoveEmptyFolder(const std::string &path, std::string *error)
{
    if (::rmdir(WithoutTrailingSeparators(path).c_str()) == 0)
        return true;
    SetError(error, errno);
    return false;
}

bool RemoveFile(const std::string &path, std::string *error)
{
    if (::unlink(path.c_str()) == 0)
        return true;
    SetError(error, errno);
    return false;
}

bool ListFolderEntries(const std::string &folder, std::vector<FolderEntry> *entries,
                       std::string *error)
{
    entries->clear();
    // An empty folder text stands for the current folder, like a relative path without folder.
    const std::string base = folder.empty() ? std::string() : WithTrailingSeparator(folder);
    DIR *dir = ::opendir(base.empty() ? "." : base.c_str());
    if (!dir) {
        SetError(error, errno);
        return false;
    }
    while (const dirent *item = ::readdir(dir)) {
        const std::string name = item->d_name;
        if (name == "." || name == "..")
            continue;
        FolderEntry entry;
        entry.name = name;
        entry.isHidden = name[0] == '.';
        struct stat info;
        const std::string full = base + name;
        if (::stat(full.c_str(), &info) == 0 || ::lstat(full.c_str(), &info) == 0) {
            entry.isFolder = S_ISDIR(info.st_mode);
            entry.isReadOnly = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
        }
        entries->push_back(entry);
    }
    ::closedir(dir);
    return true;
}

bool ReadWholeFile(const std::string &path, std::string *bytes, std::string *error)
{
    bytes->clear();
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.IsOpen()) {
        SetError(error, errno);
        return false;
    }
    struct stat info;
    if (::fstat(fd.Get(), &info) == 0 && S_ISDIR(info.st_mode)) {
        SetError(error, EISDIR);
        return false;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            SetError(error, errno);
            return false;
        }
        bytes->append(buffer, static_cast<size_t>(n));
    }
}

bool ReplaceFileContent(const std::string &path, const std::string &bytes, std::string *error)
{
    // Keep the permissions of a file being replaced; new files get the usual 0666 & ~umask.
    struct stat info;
    const bool replacing = ::stat(path.c_str(), &info) == 0;
    if (replacing && S_ISDIR(info.st_mode)) {
        SetError(error, EISDIR);
        return false;
    }
    // A write-protected file stays protected, as it would if it were rewritten in place.
    if (replacing && ::access(path.c_str(), W_OK) != 0) {
        SetError(error, errno);
        return false;
    }
    const std::string temporary = TemporaryNameFor(path);
    FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!fd.IsOpen()) {
        SetError(error, errno);
        return false;
    }
    bool ok = WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
    if (ok && replacing)
        ok = ::fchmod(fd.Get(), info.st_mode & 07777) == 0;
    ok = fd.Close() && ok;
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        const int code = errno;
        ::unlink(temporary.c_str());
        SetError(error, code);
        return false;
    }
    SyncFolderOf(path); // makes the rename itself durable; a failure here loses nothing
    return true;
}

bool AppendToFile(const std::string &path, const std::string &bytes, std::string *error)
{
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    if (!fd.IsOpen()) {
        SetError(error, errno);
        return false;
    }
    if (!WriteAll(fd.Get(), bytes)) {
        SetError(error, errno);
        return false; // the descriptor closes on the way out
    }
    if (!fd.Close()) {
        SetError(error, errno);
        return false;
    }
    return true;
}

std::string LastErrorText()
{
    return std::strerror(errno);
}

} // namespace platform
