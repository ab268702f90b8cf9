#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reader and writer of the program's settings files (section header lines and key=value lines).
// The whole file is loaded into `Lines` by the constructor; every write rewrites the whole file
// (every line followed by CR LF). Section names match case-insensitively against the whole,
// untrimmed header line; key names match case-sensitively.
//
// Errors: the constructor throws EFOpenError when the file exists but cannot be read; writing
// operations throw EFCreateError when the file cannot be written (the folder is never created).
// A write replaces the file in one step, so it is either the old or the new content.
class TIniFile32
{
public:
    explicit TIniFile32(const std::string &fileName);
    ~TIniFile32();
    TIniFile32(const TIniFile32 &) = delete;
    TIniFile32 &operator=(const TIniFile32 &) = delete;

    // Clears `strings` and fills it with every section name in file order, duplicates included.
    // A null `strings` throws EAssertionFailed ("Param Strings must be assigned").
    void ReadSections(std::vector<std::string> *strings) const;

    // The value of the first line with this key in the section; `defaultValue` when the section,
    // the key or the value is missing (an empty value reads as the default).
    std::string ReadString(const std::string &section, const std::string &key,
                           const std::string &defaultValue) const;
    // Decimal with optional sign, or hexadecimal after "$" or "0x"; the default otherwise.
    int32_t ReadInteger(const std::string &section, const std::string &key,
                        int32_t defaultValue) const;

    void WriteString(const std::string &section, const std::string &key, const std::string &value);
    void WriteInteger(const std::string &section, const std::string &key, int32_t value);
    // Removes the section's lines, leaving one empty line unless it was first. Writes nothing
    // when the section does not exist.
    void EraseSection(const std::string &section);

    const std::string &GetFileName() const { return FileName; }
    const std::vector<std::string> &GetLines() const { return Lines; }

private:
    void LoadFile();
    void UpdateFile() const;
    int IndexOfSection(const std::string &section) const;
    static bool IsSectionLine(const std::string &line);
    static std::string SectionName(const std::string &line);
    static std::string LineName(const std::string &line);
    static std::string LineValue(const std::string &line);

    std::string FileName;
    std::vector<std::string> Lines;
};
