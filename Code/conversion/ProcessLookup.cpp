#include "conversion/ProcessLookup.h"

#include "platform/ProcessTable.h"

#include <cctype>

namespace {

platform::ProcessTable &SystemTable()
{
    static platform::SystemProcessTable table;
    return table;
}

} // namespace

TProcessLookup::TProcessLookup() : m_table(&SystemTable()) {}

TProcessLookup::TProcessLookup(platform::ProcessTable &table) : m_table(&table) {}

std::string TProcessLookup::UpperCase(const std::string &text)
{
    std::string upper = text;
    for (char &c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

std::string TProcessLookup::FileNamePart(const std::string &path)
{
    const auto separator = path.find_last_of("/\\:");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

long TProcessLookup::IsProcessRunning(const std::string &imageName) const
{
    const std::string wanted = UpperCase(imageName);
    long found = 0;
    for (const platform::ProcessEntry &entry : m_table->Snapshot()) {
        if (UpperCase(entry.imageName) == wanted)
            found = entry.id;
    }
    return found;
}
