// plivak.cfg: up to 8 whitespace-separated tokens, applied in file order.
#include <cstdio>
#include <cstring>
#include <string>

#include "host/host.h"

int ConsoleHeight = 200;
bool VerboseLoading = false;
bool SkipFinalPart = false;
bool FinalPartOnly = false;

void ResetConfig() {
    ConsoleHeight = 200;
    PresentFrame = PresentFull;
    VerboseLoading = false;
    SkipFinalPart = false;
    FinalPartOnly = false;
}

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

void applyOption(const char* token) {
    if (!std::strcmp(token, "240")) {
        ConsoleHeight = 240;
        PresentFrame = PresentLetterbox;
    } else if (!std::strcmp(token, "verbose") || !std::strcmp(token, "v")) {
        VerboseLoading = true;
    } else if (!std::strcmp(token, "no-more-3d") || !std::strcmp(token, "quake-sucks")) {
        SkipFinalPart = true;
        FinalPartOnly = false;
    } else if (!std::strcmp(token, "i-am-a-sucker") || !std::strcmp(token, "i-am-lame")) {
        FinalPartOnly = true;
    }
}

}  // namespace

void ApplyConfigText(const char* text, size_t size) {
    constexpr int kMaxTokens = 8;
    constexpr size_t kMaxTokenLength = 79;
    size_t i = 0;
    for (int n = 0; n < kMaxTokens; ++n) {
        while (i < size && isSpace(text[i])) ++i;
        if (i == size) return;
        size_t start = i;
        while (i < size && !isSpace(text[i])) ++i;
        // A token longer than 79 characters matches nothing (its first 79
        // characters could spell an option word); it still counts as one.
        // So does one holding a NUL byte, which no option word has.
        size_t length = i - start;
        if (length > kMaxTokenLength || std::memchr(text + start, '\0', length)) continue;
        char token[kMaxTokenLength + 1];
        std::memcpy(token, text + start, length);
        token[length] = '\0';
        applyOption(token);
    }
}

void ReadConfig(const char* fileName) {
    std::FILE* f = std::fopen(fileName, "rt");
    if (!f) return;
    // Eight tokens of up to 79 characters need little of the file, but
    // whitespace before them is free: read it all (a config file is small).
    std::string text;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, got);
    std::fclose(f);
    ApplyConfigText(text.data(), text.size());
}
