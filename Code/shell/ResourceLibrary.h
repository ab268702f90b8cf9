#pragma once

#include "platform/DynamicLibrary.h"
#include "siblings/ResApi.h"

#include <optional>
#include <string>
#include <vector>

// The resource library Res.so beside the program, loaded for the lifetime of the object.
class TResourceLibrary
{
public:
    // Every string entry is read into a buffer of this many bytes, so longer entries are cut
    // to their first kStringBufferSize - 1 bytes.
    static constexpr int kStringBufferSize = 254;

    explicit TResourceLibrary(const std::string &path);

    bool IsLoaded() const { return m_library.IsLoaded(); }
    // String entry `id`; empty when the library or the entry is missing.
    std::string LoadString(int id) const;
    // A copy of the resource `name` of type `type`; nothing when missing.
    std::optional<std::vector<unsigned char>> FindResource(const std::string &name,
                                                           const std::string &type) const;

private:
    platform::DynamicLibrary m_library;
    TqResLoadStringFunc m_loadString = nullptr;
    TqResFindResourceFunc m_findResource = nullptr;
};
