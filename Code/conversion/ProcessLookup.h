#pragma once

#include <string>

namespace platform {
class ProcessTable;
struct ProcessEntry;
} // namespace platform

// Which encoder processes this program may end: the one its batch driver runs now, and those
// that a program of the same folder started and left behind when it ended without them (after
// a crash). Another program's encoder, one that a user or another live program started, is
// never among them, even when it runs the same program file.
class TOwnEncoders
{
public:
    // The encoder beside the program, whose running copies may have been left behind.
    void SetEncoderPath(const std::string &encoderPath);
    // The encoder the batch driver runs now; 0 when it runs none.
    void SetRunningEncoder(long processId) { m_runningId = processId; }

    // Started by this program and still running as its child.
    bool IsRunningHere(const platform::ProcessEntry &entry) const;
    // A copy of this program's encoder whose starter has ended: it no longer is the parent.
    bool IsLeftBehind(const platform::ProcessEntry &entry,
                      const platform::ProcessTable &table) const;

private:
    std::string m_encoderPath; // with links resolved
    long m_runningId = 0;
};

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
    // True when the image name of `entry`, or its file-name part, equals `name` (any case).
    static bool HasImageName(const platform::ProcessEntry &entry, const std::string &name);

private:
    platform::ProcessTable *m_table;
};
