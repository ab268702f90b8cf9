#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

// A broken property ends the run like a crash, so libFuzzer keeps the input that shows it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace tqfuzz {

inline std::string AsText(const unsigned char *data, size_t size)
{
    return std::string(reinterpret_cast<const char *>(data), size);
}

// A folder of this process for files a target writes, in memory where the system offers it;
// made on first use, removed at exit.
inline const std::string &ScratchFolder()
{
    static const std::string folder = [] {
        std::error_code error;
        std::filesystem::path base = "/dev/shm";
        if (!std::filesystem::is_directory(base, error))
            base = std::filesystem::temp_directory_path();
        for (unsigned attempt = 0;; ++attempt) {
            const std::filesystem::path candidate =
                base / ("tq-fuzz-" + std::to_string(std::random_device()()) + "-" +
                        std::to_string(attempt));
            if (std::filesystem::create_directory(candidate, error)) {
                static const std::string made = candidate.string();
                std::atexit([] {
                    std::error_code ignored;
                    std::filesystem::remove_all(made, ignored);
                });
                return candidate.string() + "/";
            }
        }
    }();
    return folder;
}

} // namespace tqfuzz
