#include "platform/CommandLine.h"

namespace platform {
namespace {

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t';
}

bool NeedsQuotes(const std::string &argument)
{
    return argument.empty() || argument.find_first_of(" \t\"") != std::string::npos;
}

} // namespace

std::string QuoteArgument(const std::string &argument)
{
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"')
            quoted.append(backslashes * 2 + 1, '\\');
        else
            quoted.append(backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    // Backslashes before the closing quote must be doubled so that they stay literal.
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

std::string QuoteArgumentIfNeeded(const std::string &argument)
{
    return NeedsQuotes(argument) ? QuoteArgument(argument) : argument;
}

std::string JoinCommandLine(const std::vector<std::string> &arguments)
{
    std::string line;
    for (const std::string &argument : arguments) {
        if (!line.empty())
            line += ' ';
        line += QuoteArgumentIfNeeded(argument);
    }
    return line;
}

std::vector<std::string> SplitCommandLine(const std::string &commandLine)
{
    std::vector<std::string> arguments;
    const std::size_t length = commandLine.size();
    std::size_t i = 0;
    while (true) {
        while (i < length && IsSeparator(commandLine[i]))
            ++i;
        if (i >= length)
            break;
        std::string argument;
        bool quoted = false;
        while (i < length) {
            const char c = commandLine[i];
            if (IsSeparator(c) && !quoted)
                break;
            if (c == '\\') {
                std::size_t backslashes = 0;
                while (i < length && commandLine[i] == '\\') {
                    ++backslashes;
                    ++i;
                }
                if (i < length && commandLine[i] == '"') {
                    argument.append(backslashes / 2, '\\');
                    if (backslashes % 2 == 1) {
                        argument += '"';
                        ++i;
                    }
                } else {
                    argument.append(backslashes, '\\');
                }
            } else if (c == '"') {
                if (quoted && i + 1 < length && commandLine[i + 1] == '"') {
                    argument += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                argument += c;
                ++i;
            }
        }
        arguments.push_back(argument);
    }
    return arguments;
}

} // namespace platform
