// Test helper: rewrites a settings file in an endless loop, alternating between two contents,
// until it is killed. Prints "ready" once the first write is complete.
#include "support/IniFile32.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <file> <value length>\n", argv[0]);
        return 2;
    }
    const std::string path = argv[1];
    const size_t length = std::stoul(argv[2]);
    for (unsigned long round = 0;; ++round) {
        TIniFile32 ini(path);
        ini.WriteString("Store", "Value", std::string(length, round % 2 ? 'b' : 'a'));
        if (round == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
