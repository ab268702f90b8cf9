#pragma once

#include <string>

namespace platform {

// A shared library loaded from a path and released when the object goes away.
// Load failures are not exceptions: callers that treat a missing library as "nothing to do"
// check IsLoaded(); LastError() says why for the log.
class DynamicLibrary
{
public:
    explicit DynamicLibrary(const std::string &path);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary &) = delete;
    DynamicLibrary &operator=(const DynamicLibrary &) = delete;

    bool IsLoaded() const { return m_handle != nullptr; }
    // The address of an exported symbol, or nullptr when the library is not loaded or lacks it.
    void *Symbol(const std::string &name) const;
    const std::string &LastError() const { return m_error; }

    // The exported function `name` as a pointer of type Function, or nullptr.
    template <typename Function> Function FindFunction(const std::string &name) const
    {
        return reinterpret_cast<Function>(Symbol(name));
    }

private:
    void *m_handle = nullptr;
    mutable std::string m_error;
};

} // namespace platform
