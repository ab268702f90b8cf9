// A stand-in console program for the runner, stopping and batch tests: it writes chosen output,
// sleeps, or behaves like a tiny encoder whose behaviour the input file names.
#include "support/PartialOutput.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

void WriteAll(const std::string &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

void SleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// `count` bytes whose last byte is 'Z' and the others a repeating pattern, in one write.
std::string Pattern(std::size_t count)
{
    std::string bytes(count, 'a');
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<char>('a' + (i % 26));
    if (count > 0)
        bytes[count - 1] = 'Z';
    return bytes;
}

std::string FirstLineOf(const std::string &path)
{
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

// Behaves like the encoder: the first line of the input file says what to do.
int Encode(const std::vector<std::string> &args)
{
    std::string input;
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "-i")
            input = args[i + 1];
    }
    const std::string output = args.empty() ? std::string() : args.back();
    const std::string behaviour = FirstLineOf(input);
    if (behaviour.empty()) {
        WriteAll("Cannot open the input file " + input + "\n");
        return 1;
    }
    if (behaviour == "fail") {
        WriteAll("banner line\nThe input has no audio stream.\n");
        return 2;
    }
    int seconds = 1;
    if (behaviour.rfind("sleep ", 0) == 0)
        seconds = std::atoi(behaviour.c_str() + 6);
    // Like the encoder: written under the unfinished name, renamed when complete.
    const std::string partial = PartialOutputPath(output);
    std::ofstream(partial) << "half of " << input << "\n";
    WriteAll("evc banner: " + input + " -> " + output + "\n");
    for (int tick = 0; tick < seconds * 4; ++tick) {
        WriteAll("size=      1kB time=" + std::to_string(tick / 4) + ".25 bitrate= 1.0kbits/s\r");
        if (behaviour == "killed")
            std::raise(SIGKILL);
        SleepMs(250);
    }
    std::ofstream(partial) << "converted " << input << "\n";
    std::rename(partial.c_str(), output.c_str());
    WriteAll("done\n");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string mode = args.empty() ? std::string() : args[0];
    if (mode == "bytes") {
        WriteAll(Pattern(static_cast<std::size_t>(std::atol(args.at(1).c_str()))));
        SleepMs(400);
        return 0;
    }
    if (mode == "zero") {
        WriteAll(std::string("abc\0def", 7));
        SleepMs(400);
        return 0;
    }
    if (mode == "lastwords") {
        WriteAll("last words");
        return 3;
    }
    if (mode == "whereami") {
        char folder[4096] = {};
        if (getcwd(folder, sizeof folder) == nullptr)
            return 1;
        WriteAll(std::string(folder) + (getsid(0) == getpid() ? "|own session" : "|shared"));
        SleepMs(400);
        return 0;
    }
    if (mode == "args") {
        std::string text;
        for (std::size_t i = 1; i < args.size(); ++i)
            text += "[" + args[i] + "]";
        WriteAll(text);
        SleepMs(400);
        return 0;
    }
    if (mode == "sleep") {
        SleepMs(std::atoi(args.at(1).c_str()) * 1000);
        return 0;
    }
    return Encode(args);
}
