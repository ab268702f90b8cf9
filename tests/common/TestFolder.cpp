#include "TestFolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tqtest {

TestFolder::TestFolder()
{
    QTemporaryDir dir(QDir::tempPath() + "/tonequill-test-XXXXXX");
    if (!dir.isValid())
        throw std::runtime_error("cannot create a temporary test folder");
    dir.setAutoRemove(false);
    m_path = dir.path().toStdString() + "/";
}

TestFolder::~TestFolder()
{
    QDir(QString::fromStdString(m_path)).removeRecursively();
}

std::string ReadWholeFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteWholeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

} // namespace tqtest
