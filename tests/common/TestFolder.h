#pragma once

#include <string>

namespace tqtest {

// A fresh folder under the system's temporary folder, removed with its contents when the
// object goes out of scope. Path() ends with "/".
class TestFolder
{
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder &) = delete;
    TestFolder &operator=(const TestFolder &) = delete;

    const std::string &Path() const { return m_path; }
    std::string File(const std::string &name) const { return m_path + name; }

private:
    std::string m_path;
};

std::string ReadWholeFile(const std::string &path);
void WriteWholeFile(const std::string &path, const std::string &bytes);

} // namespace tqtest
