#include "platform/FileMove.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

bool Failed(std::string *error, int code)
{
    if (error)
        *error = std::strerror(code);
    return false;
}

} // namespace

bool MoveFile(const std::string &from, const std::string &to, bool replace, std::string *error)
{
    if (replace)
        return ::rename(from.c_str(), to.c_str()) == 0 || Failed(error, errno);
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return Failed(error, errno);
    // The file system cannot rename without replacing: a hard link cannot replace either.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP)
        return Failed(error, errno);
    // Nor can it link (FAT, for one): look first, then rename.
    if (::access(to.c_str(), F_OK) == 0 || errno != ENOENT)
        return Failed(error, EEXIST);
    return ::rename(from.c_str(), to.c_str()) == 0 || Failed(error, errno);
}

} // namespace platform
