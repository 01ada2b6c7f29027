// Scratch files for the data tests: one fresh folder per run, removed at
// exit; plain and gzip writers.
#pragma once

#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline std::string scratchPath(const std::string& name) {
    // Never destroyed, so the exit handler that removes the folder still
    // has its name.
    static const std::string* root = [] {
        char pattern[] = "/tmp/plivak_data_test_XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        std::atexit([] { std::filesystem::remove_all(*root); });
        return new std::string(pattern);
    }();
    return *root + "/" + name;
}

inline Bytes asBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline void writeFile(const std::string& path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

inline void writeGzip(const std::string& path, const Bytes& bytes) {
    gzFile gz = gzopen(path.c_str(), "wb");
    if (!gz) std::abort();
    gzwrite(gz, bytes.data(), static_cast<unsigned>(bytes.size()));
    gzclose(gz);
}

// Deterministic bytes that compress poorly.
inline Bytes noiseBytes(size_t count, uint32_t seed) {
    Bytes out(count);
    for (auto& b : out) b = static_cast<uint8_t>((seed = seed * 214013u + 2531011u) >> 16);
    return out;
}
