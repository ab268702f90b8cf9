#pragma once

#include <string>

namespace platform {
class ProcessTable;
}

// Looks processes up by image name. Names compare without regard to letter case.
class TProcessLookup
{
public:
    TProcessLookup();
    explicit TProcessLookup(platform::ProcessTable &table);

    // The process list walked; the system's own unless another was given (tests).
    void UseProcessTable(platform::ProcessTable &table) { m_table = &table; }
    platform::ProcessTable &ProcessTable() const { return *m_table; }

    // The ID of a process whose image name equals `imageName` (the last one listed), or 0.
    long IsProcessRunning(const std::string &imageName) const;

    static std::string UpperCase(const std::string &text);
    // The text after the last folder separator ("/", also "\" and ":" of foreign paths).
    static std::string FileNamePart(const std::string &path);

private:
    platform::ProcessTable *m_table;
};
