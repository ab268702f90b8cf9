// Quoting and splitting of command lines: any argument list, joined or quoted one by one,
// splits back into the same arguments; any text splits without failing, and re-joining its
// arguments gives a line that splits the same way.
#include "FuzzCheck.h"
#include "platform/CommandLine.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    std::vector<std::string> arguments;
    const size_t count = input.ConsumeIntegralInRange<size_t>(0, 6);
    for (size_t i = 0; i < count; ++i) {
        std::string argument = input.ConsumeRandomLengthString(32);
        // A process argument ends at its first NUL; nothing can carry one.
        argument = argument.substr(0, argument.find('\0'));
        arguments.push_back(argument);
    }

    FUZZ_CHECK(platform::SplitCommandLine(platform::JoinCommandLine(arguments)) == arguments);
    std::string quotedOneByOne;
    for (const std::string &argument : arguments)
        quotedOneByOne += " " + platform::QuoteArgument(argument);
    FUZZ_CHECK(platform::SplitCommandLine(quotedOneByOne) == arguments);
    for (const std::string &argument : arguments) {
        const std::vector<std::string> single =
            platform::SplitCommandLine(platform::QuoteArgumentIfNeeded(argument));
        FUZZ_CHECK(single.size() == 1 && single[0] == argument);
    }

    const std::string line = input.ConsumeRemainingBytesAsString();
    const std::vector<std::string> split = platform::SplitCommandLine(line);
    FUZZ_CHECK(platform::SplitCommandLine(platform::JoinCommandLine(split)) == split);
    return 0;
}
