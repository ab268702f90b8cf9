#include "support/FileFunc.h"

#include "platform/FileSystem.h"
#include "support/PartialOutput.h"
#include "support/StrFunc.h"

namespace {

std::string NamePart(const std::string &path)
{
    return TStrFunc::AfterLast(path, platform::kPathSeparator);
}

} // namespace

std::vector<std::string> TFileFunc::ListFolder(const std::string &folder) const
{
    std::vector<platform::FolderEntry> entries;
    std::vector<std::string> paths;
    if (!platform::ListFolderEntries(folder, &entries))
        return paths;
    for (const platform::FolderEntry &entry : entries) {
        const bool plainFolder = entry.isFolder && !entry.isHidden && !entry.isReadOnly;
        if (!plainFolder)
            paths.push_back(folder + entry.name);
    }
    return paths;
}

std::string TFileFunc::BaseName(const std::string &path)
{
    const std::string name = NamePart(path);
    const std::string extension = TStrFunc::AfterLast(name, '.');
    const std::ptrdiff_t length = static_cast<std::ptrdiff_t>(name.size()) -
                                  static_cast<std::ptrdiff_t>(extension.size()) - 1;
    return length > 0 ? name.substr(0, static_cast<size_t>(length)) : std::string();
}

std::string TFileFunc::FolderOf(const std::string &path)
{
    const size_t last = path.rfind(platform::kPathSeparator);
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::string TFileFunc::ExtensionOf(const std::string &path)
{
    const std::string name = NamePart(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

bool TFileFunc::IsBaseTaken(const std::string &candidate) const
{
    // Anything at the candidate path itself (for instance a plain sub-folder named like the
    // file) would make the encoder fail, so it counts as taken too.
    if (platform::PathExists(candidate))
        return true;
    const std::string base = BaseName(candidate);
    for (const std::string &entry : ListFolder(FolderOf(candidate))) {
        // The encoder's unfinished files are not outputs; a leftover one is cleared away.
        if (IsPartialOutputName(NamePart(entry)))
            continue;
        if (TStrFunc::SameText(BaseName(entry), base))
            return true;
    }
    return false;
}

std::string TFileFunc::UniqueName(const std::string &path)
{
    RequestedBase = BaseName(path);
    std::string candidate = path;
    for (;;) {
        if (!IsBaseTaken(candidate))
            return candidate;
        const std::string folder = FolderOf(candidate);
        const std::string base = BaseName(candidate);
        const std::string extension = ExtensionOf(candidate);
        if (base == RequestedBase) {
            candidate = folder + base + "_1" + extension;
        } else {
            // A numbered candidate made here: count on from the digits after its last "_".
            const long long next = std::stoll(TStrFunc::AfterLast(base, '_')) + 1;
            candidate =
                folder + base.substr(0, base.rfind('_') + 1) + std::to_string(next) + extension;
        }
    }
}
