// Test helper: probes each file named on the command line with the duration probe, in its own
// process so that a crash or a hang can be told apart from a clear error. For each file it
// prints "file <n>" before and one result line after: "ok <duration ms> <streams without
// decoder>" or "error <message>".
#include "preview/AvProbeEngine.h"

#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        std::printf("file %d\n", i - 1);
        std::fflush(stdout);
        try {
            TAvProbeEngine engine;
            engine.SetActive(true);
            const int missing = engine.RenderFile(argv[i]);
            std::printf("ok %lld %d\n", static_cast<long long>(engine.DurationMs()), missing);
        } catch (const std::exception &error) {
            std::printf("error %s\n", error.what());
        }
        std::fflush(stdout);
    }
    return 0;
}
