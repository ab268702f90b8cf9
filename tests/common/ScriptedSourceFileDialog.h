#pragma once

#include "joblist/SourceFileDialog.h"

#include <string>
#include <vector>

namespace tqtest {

// An open-file dialog that returns `files` as if the user had picked them, or cancels while
// `accept` is false. Like the real dialog it keeps the first file of the last accepted run.
class ScriptedSourceFileDialog : public ISourceFileDialog
{
public:
    void SetInitialFolder(const std::string &folder) override { initialFolder = folder; }
    bool Execute() override
    {
        ++runs;
        if (!accept)
            return false;
        m_picked = files;
        if (!m_picked.empty())
            m_fileName = m_picked.front();
        return true;
    }
    std::vector<std::string> Files() const override { return m_picked; }
    std::string FileName() const override { return m_fileName; }

    std::vector<std::string> files;
    bool accept = true;
    std::string initialFolder;
    int runs = 0;

private:
    std::vector<std::string> m_picked;
    std::string m_fileName;
};

} // namespace tqtest
