// Test helper: rewrites the three settings files of a program folder in an endless loop, each
// alternating between two contents, until it is killed. After the first two rounds it keeps a
// copy of each file's two contents beside it (<file>.0 and <file>.1) and prints "ready".
#include "formats/ProfileIni.h"
#include "formats/UserSettings.h"
#include "support/IniFile32.h"

#include <cstdio>
#include <filesystem>
#include <string>

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
    for (unsigned long round = 0;; ++round) {
        const int version = static_cast<int>(round % 2);
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
            .WriteInteger("count", "count", static_cast<int>(round % 2 ? 200 : 100));
        if (round < 2) {
            for (const std::string &file : files)
                std::filesystem::copy_file(profiles.ConfigPath(file),
                                           profiles.ConfigPath(file) + "." +
                                               std::to_string(version),
                                           std::filesystem::copy_options::overwrite_existing);
        }
        if (round == 1) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
