// Scratch files for the data tests: a fresh folder per test program run,
// plain and gzip writers.
#pragma once

#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline const std::string& scratchDir() {
    static std::string dir = [] {
        char pattern[] = "/tmp/plivak_data_test_XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made) std::abort();
        static std::string root = made;
        std::atexit([] { std::filesystem::remove_all(root); });
        return root + "/";
    }();
    return dir;
}

inline std::string scratchPath(const std::string& name) { return scratchDir() + name; }

inline void writeFile(const std::string& path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

inline void writeText(const std::string& path, const std::string& text) {
    writeFile(path, Bytes(text.begin(), text.end()));
}

inline void writeGzip(const std::string& path, const Bytes& bytes) {
    gzFile gz = gzopen(path.c_str(), "wb");
    if (!gz) std::abort();
    if (!bytes.empty()) gzwrite(gz, bytes.data(), static_cast<unsigned>(bytes.size()));
    gzclose(gz);
}

inline Bytes asBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A deterministic byte pattern that compresses poorly.
inline Bytes noiseBytes(size_t count, uint32_t seed) {
    Bytes out(count);
    for (auto& b : out) {
        seed = seed * 214013u + 2531011u;
        b = static_cast<uint8_t>(seed >> 16);
    }
    return out;
}
