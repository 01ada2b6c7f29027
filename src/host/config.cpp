// plivak.cfg: up to 8 whitespace-separated tokens, applied in file order.
#include <cstdio>
#include <cstring>

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

void ReadConfig(const char* fileName) {
    std::FILE* f = std::fopen(fileName, "rt");
    if (!f) return;
    constexpr int kMaxTokens = 8;
    // A token is read into at most 79 characters. A longer token counts as
    // one token that matches nothing: its first 79 characters could spell
    // an option word, so the rest is skipped rather than read as more.
    char token[80];
    for (int n = 0; n < kMaxTokens; ++n) {
        if (std::fscanf(f, "%79s", token) != 1) break;
        int next = std::fgetc(f);
        bool overLong = next != EOF && !std::strchr(" \t\n\r\v\f", next);
        if (next != EOF) std::ungetc(next, f);
        if (overLong) {
            int c;
            while ((c = std::fgetc(f)) != EOF && !std::strchr(" \t\n\r\v\f", c)) {
            }
            continue;
        }
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
    std::fclose(f);
}
