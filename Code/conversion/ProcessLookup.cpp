#include "conversion/ProcessLookup.h"

#include "platform/ProcessTable.h"

#include <cctype>
#include <filesystem>

namespace {

platform::ProcessTable &SystemTable()
{
    static platform::SystemProcessTable table;
    return table;
}

} // namespace

void TOwnEncoders::SetEncoderPath(const std::string &encoderPath)
{
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(encoderPath, error);
    m_encoderPath = error ? encoderPath : resolved.string();
}

bool TOwnEncoders::IsRunningHere(const platform::ProcessEntry &entry) const
{
    return m_runningId != 0 && entry.id == m_runningId &&
           entry.parentId == platform::CurrentProcessId();
}

bool TOwnEncoders::IsLeftBehind(const platform::ProcessEntry &entry,
                                const platform::ProcessTable &table) const
{
    if (m_encoderPath.empty() || entry.imagePath != m_encoderPath)
        return false;
    const long starter = table.StarterOf(entry.id);
    // An orphan is handed to another parent, so a live starter is always its parent still.
    return starter != 0 && starter != entry.parentId;
}

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

bool TProcessLookup::HasImageName(const platform::ProcessEntry &entry, const std::string &name)
{
    const std::string wanted = UpperCase(name);
    const std::string image = UpperCase(entry.imageName);
    return FileNamePart(image) == wanted || image == wanted;
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
