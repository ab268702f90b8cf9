#include "support/IniFile32.h"

#include "platform/FileSystem.h"
#include "support/Errors.h"
#include "support/StrFunc.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

// Splits at CR LF, lone CR and lone LF and stops at the first NUL. A final line end does not
// start another line.
std::vector<std::string> SplitLines(const std::string &bytes)
{
    std::vector<std::string> lines;
    const size_t end = std::min(bytes.find('\0'), bytes.size());
    size_t position = 0;
    while (position < end) {
        size_t stop = position;
        while (stop < end && bytes[stop] != '\r' && bytes[stop] != '\n')
            ++stop;
        lines.push_back(bytes.substr(position, stop - position));
        if (stop < end && bytes[stop] == '\r')
            ++stop;
        if (stop < end && bytes[stop] == '\n')
            ++stop;
        position = stop;
    }
    return lines;
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Decimal with optional sign, or hexadecimal after "$" (up to 8 digits, taken as the 32 bits of
// the number). False when the text is not such an integer or does not fit.
bool ParseInteger(const std::string &text, int32_t *result)
{
    size_t position = 0;
    bool negative = false;
    if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
        negative = text[position] == '-';
        ++position;
    }
    const bool hexadecimal = position < text.size() && text[position] == '$';
    if (hexadecimal)
        ++position;
    if (position == text.size())
        return false;
    uint64_t magnitude = 0;
    const uint64_t limit = hexadecimal ? 0xFFFFFFFFull : 0x80000000ull;
    for (; position < text.size(); ++position) {
        const char c = text[position];
        if (hexadecimal ? !IsHexDigit(c) : !IsDecimalDigit(c))
            return false;
        const uint64_t digit = IsDecimalDigit(c) ? uint64_t(c - '0')
                               : (c >= 'a')      ? uint64_t(c - 'a' + 10)
                                                 : uint64_t(c - 'A' + 10);
        magnitude = magnitude * (hexadecimal ? 16 : 10) + digit;
        if (magnitude > limit)
            return false;
    }
    if (hexadecimal) {
        const auto bits = static_cast<uint32_t>(magnitude);
        const int64_t value = bits > 0x7FFFFFFFu ? int64_t(bits) - 0x100000000ll : int64_t(bits);
        *result = static_cast<int32_t>(negative ? -value : value);
        return !(negative && value == std::numeric_limits<int32_t>::min());
    }
    if (!negative && magnitude > 0x7FFFFFFFull)
        return false;
    *result = static_cast<int32_t>(negative ? -int64_t(magnitude) : int64_t(magnitude));
    return true;
}

} // namespace

TIniFile32::TIniFile32(const std::string &fileName) : FileName(fileName)
{
    LoadFile();
}

TIniFile32::~TIniFile32() = default;

void TIniFile32::LoadFile()
{
    Lines.clear();
    if (!platform::FileExists(FileName))
        return;
    std::string bytes;
    std::string reason;
    if (!platform::ReadWholeFile(FileName, &bytes, &reason))
        throw EFOpenError("Cannot open file \"" + FileName + "\". " + reason);
    Lines = SplitLines(bytes);
}

void TIniFile32::UpdateFile() const
{
    std::string bytes;
    for (const std::string &line : Lines) {
        bytes += line;
        bytes += "\r\n";
    }
    std::string reason;
    if (!platform::ReplaceFileContent(FileName, bytes, &reason))
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + reason);
}

int TIniFile32::IndexOfSection(const std::string &section) const
{
    const std::string header = "[" + section + "]";
    for (size_t i = 0; i < Lines.size(); ++i) {
        if (TStrFunc::SameText(Lines[i], header))
            return static_cast<int>(i);
    }
    return -1;
}

bool TIniFile32::IsSectionLine(const std::string &line)
{
    const std::string trimmed = TStrFunc::Trim(line);
    return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']';
}

std::string TIniFile32::SectionName(const std::string &line)
{
    const std::string trimmed = TStrFunc::Trim(line);
    return TStrFunc::Trim(trimmed.substr(1, trimmed.size() - 2));
}

std::string TIniFile32::LineName(const std::string &line)
{
    const size_t equals = line.find('=');
    return equals == std::string::npos ? std::string() : TStrFunc::Trim(line.substr(0, equals));
}

std::string TIniFile32::LineValue(const std::string &line)
{
    const size_t equals = line.find('=');
    return equals == std::string::npos ? std::string() : TStrFunc::Trim(line.substr(equals + 1));
}

void TIniFile32::ReadSections(std::vector<std::string> *strings) const
{
    if (!strings)
        throw EAssertionFailed("Param Strings must be assigned (Code/support/IniFile32.cpp, line " +
                               std::to_string(__LINE__) + ")");
    strings->clear();
    for (const std::string &line : Lines) {
        if (IsSectionLine(line))
            strings->push_back(SectionName(line));
    }
}

std::string TIniFile32::ReadString(const std::string &section, const std::string &key,
                                   const std::string &defaultValue) const
{
    const int header = IndexOfSection(section);
    if (header < 0)
        return defaultValue;
    for (size_t i = static_cast<size_t>(header) + 1; i < Lines.size(); ++i) {
        if (IsSectionLine(Lines[i]))
            break;
        if (LineName(Lines[i]) == key) {
            const std::string value = LineValue(Lines[i]);
            return value.empty() ? defaultValue : value;
        }
    }
    return defaultValue;
}

int32_t TIniFile32::ReadInteger(const std::string &section, const std::string &key,
                                int32_t defaultValue) const
{
    std::string text = ReadString(section, key, std::string());
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.replace(0, 2, "$");
    int32_t value = 0;
    return ParseInteger(text, &value) ? value : defaultValue;
}

void TIniFile32::WriteString(const std::string &section, const std::string &key,
                             const std::string &value)
{
    const std::string line = key + "=" + value;
    const int header = IndexOfSection(section);
    if (header < 0) {
        Lines.emplace_back();
        Lines.push_back("[" + section + "]");
        if (!key.empty())
            Lines.push_back(line);
    } else {
        size_t i = static_cast<size_t>(header) + 1;
        while (i < Lines.size() && !IsSectionLine(Lines[i]) && LineName(Lines[i]) != key)
            ++i;
        const bool atKeyLine = i < Lines.size() && !IsSectionLine(Lines[i]);
        if (!key.empty()) {
            if (atKeyLine)
                Lines[i] = line;
            else
                Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(i), line);
        }
    }
    UpdateFile();
}

void TIniFile32::WriteInteger(const std::string &section, const std::string &key, int32_t value)
{
    WriteString(section, key, std::to_string(value));
}

void TIniFile32::EraseSection(const std::string &section)
{
    const int header = IndexOfSection(section);
    if (header < 0)
        return;
    const auto position = Lines.begin() + header;
    auto end = position + 1;
    while (end != Lines.end() && !IsSectionLine(*end))
        ++end;
    Lines.erase(position, end);
    if (header > 0)
        Lines.insert(Lines.begin() + header, std::string());
    UpdateFile();
}
