#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

namespace platform {

DynamicLibrary::DynamicLibrary(const std::string &path)
{
    // RTLD_LOCAL keeps the symbols of sibling libraries out of the program's namespace.
    m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        const char *error = dlerror();
        m_error = error ? error : "cannot load " + path;
    }
}

DynamicLibrary::~DynamicLibrary()
{
    if (m_handle)
        dlclose(m_handle);
}

void *DynamicLibrary::Symbol(const std::string &name) const
{
    if (!m_handle)
        return nullptr;
    dlerror();
    void *address = dlsym(m_handle, name.c_str());
    if (!address) {
        const char *error = dlerror();
        m_error = error ? error : name + " not found";
    }
    return address;
}

} // namespace platform
