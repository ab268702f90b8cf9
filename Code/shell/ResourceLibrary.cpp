#include "shell/ResourceLibrary.h"

#include <cstring>

TResourceLibrary::TResourceLibrary(const std::string &path) : m_library(path)
{
    m_loadString = m_library.FindFunction<TqResLoadStringFunc>(TQ_RES_LOAD_STRING);
    m_findResource = m_library.FindFunction<TqResFindResourceFunc>(TQ_RES_FIND_RESOURCE);
}

std::string TResourceLibrary::LoadString(int id) const
{
    if (!m_loadString)
        return {};
    char buffer[kStringBufferSize] = {};
    const int length = m_loadString(id, buffer, kStringBufferSize);
    if (length <= 0)
        return {};
    // Never trust the library's count beyond the buffer.
    return std::string(buffer, strnlen(buffer, kStringBufferSize - 1));
}

std::optional<std::vector<unsigned char>>
TResourceLibrary::FindResource(const std::string &name, const std::string &type) const
{
    if (!m_findResource)
        return std::nullopt;
    const void *data = nullptr;
    size_t size = 0;
    if (!m_findResource(name.c_str(), type.c_str(), &data, &size) || !data)
        return std::nullopt;
    const auto *bytes = static_cast<const unsigned char *>(data);
    return std::vector<unsigned char>(bytes, bytes + size);
}
