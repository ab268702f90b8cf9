// TIniFile32 loading a file of any bytes: every read answers, and a rewrite followed by a fresh
// load gives the same lines (the file is kept line for line up to its first NUL).
#include "FuzzCheck.h"
#include "support/IniFile32.h"

#include <cstdio>
#include <fstream>

namespace {

void WriteFile(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The lines of `bytes` as a reader sees them: split at CR LF, CR or LF, up to the first NUL.
std::vector<std::string> ExpectedLines(const std::string &bytes)
{
    const std::string text = bytes.substr(0, bytes.find('\0'));
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(line);
            line.clear();
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += text[i];
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const std::string bytes = tqfuzz::AsText(data, size);
    const std::string path = tqfuzz::ScratchFolder() + "reader.ini";
    WriteFile(path, bytes);

    TIniFile32 ini(path);
    FUZZ_CHECK(ini.GetLines() == ExpectedLines(bytes));
    std::vector<std::string> sections;
    ini.ReadSections(&sections);
    for (const std::string &section : sections) {
        for (const std::string &line : ini.GetLines()) {
            const std::string key = line.substr(0, line.find('='));
            ini.ReadString(section, key, "");
            ini.ReadInteger(section, key, -1);
        }
    }
    if (!sections.empty()) {
        // An empty key with an existing section rewrites the file unchanged.
        ini.WriteString(sections.front(), "", "");
        const TIniFile32 reloaded(path);
        if (ini.GetLines() != reloaded.GetLines() || ini.GetLines() != ExpectedLines(bytes)) {
            // Only a section that the reading cannot find (blanks around its header) is
            // appended anew; every line that was there must still be there, in order.
            const std::vector<std::string> before = ExpectedLines(bytes);
            FUZZ_CHECK(reloaded.GetLines().size() >= before.size());
            FUZZ_CHECK(std::equal(before.begin(), before.end(), reloaded.GetLines().begin()));
        }
    }
    return 0;
}
