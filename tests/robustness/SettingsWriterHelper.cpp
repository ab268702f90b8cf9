// Test helper: rewrites the three settings files of a program folder in an endless loop, each
// alternating between two contents, until it is killed. The first run in a folder keeps a copy
// of each file's two contents beside it (<file>.0 and <file>.1) after its first two rounds and
// then prints "ready". A later run finds those copies and prints "ready" before its first
// write, so a kill lands in a write without two warm-up rounds first; it begins with the
// content the user settings file does not hold now, so that its first write changes the file.
#include "formats/ProfileIni.h"
#include "formats/UserSettings.h"
#include "support/IniFile32.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string Contents(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool CopiesKept(const TProfileIni &profiles, const std::string (&files)[3])
{
    for (const std::string &file : files) {
        for (const char *version : {".0", ".1"}) {
            if (!std::filesystem::exists(profiles.ConfigPath(file) + version))
                return false;
        }
    }
    return true;
}

void SayReady()
{
    std::puts("ready");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <program folder/>\n", argv[0]);
        return 2;
    }
    const std::string program = argv[1];
    const TProfileIni profiles(program);
    const TUserSettings settings(program, "/home/");
    const std::string files[] = {kUserSettingsFile, kProfileStoreFile, kProfileCounterFile};
    const std::string longFolder(64 * 1024, 'f');
    const bool kept = CopiesKept(profiles, files);
    const std::string settingsPath = profiles.ConfigPath(kUserSettingsFile);
    const unsigned long first = kept && Contents(settingsPath) == Contents(settingsPath + ".0");
    if (kept)
        SayReady();
    for (unsigned long round = 0;; ++round) {
        const int version = static_cast<int>((first + round) % 2);
        const std::string letter(1, version ? 'b' : 'a');
        settings.SaveInitDir("/" + letter + longFolder + "/chosen.mp3");
        {
            TIniFile32 store(profiles.ConfigPath(kProfileStoreFile));
            // A profile is a section with one key of its own name.
            for (int i = 0; i < 200; ++i) {
                const std::string name = "Profile " + std::to_string(i);
                store.WriteString(name, name, letter + "|1|2|3|0|" + std::to_string(i));
            }
        }
        TIniFile32(profiles.ConfigPath(kProfileCounterFile))
            .WriteInteger("count", "count", static_cast<int>(version ? 200 : 100));
        if (!kept && round < 2) {
            for (const std::string &file : files)
                std::filesystem::copy_file(profiles.ConfigPath(file),
                                           profiles.ConfigPath(file) + "." +
                                               std::to_string(version),
                                           std::filesystem::copy_options::overwrite_existing);
        }
        if (!kept && round == 1)
            SayReady();
    }
}
