// Formatted reading of a text file held in memory, with the conventions of
// the C library's scanf family, so the text readers (shape outlines, ray
// scenes) parse a byte span that a test or a fuzzer can hand over directly:
//   - a whitespace character in a template matches any run of whitespace,
//     including none (skipSpace);
//   - a literal word must appear exactly; matching stops at the first
//     differing character, which is left unread (matchWord);
//   - a number skips leading whitespace and converts the longest prefix
//     that strtol / strtof accept (readInt, readFloat);
//   - a string skips leading whitespace and takes a run of non-whitespace
//     characters, bounded by the caller's buffer (readWord).
// Like a stdio stream, the scanner keeps an end-of-file indicator: it is set
// as soon as a read looks for a character past the last byte, and never
// cleared. Readers that loop "until end of file" test atEnd().
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

class TextScanner {
public:
    TextScanner(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool atEnd() const { return eof_; }
    size_t position() const { return pos_; }

    // A whitespace directive: consumes any run of whitespace, maybe empty.
    void skipSpace() {
        while (isSpace(peek())) ++pos_;
    }

    // A literal word. True when all of it matched; on a mismatch the
    // characters that did match are consumed and the differing one is not.
    bool matchWord(const char* word) {
        for (; *word; ++word) {
            int c = peek();
            if (c != static_cast<unsigned char>(*word)) return false;
            ++pos_;
        }
        return true;
    }

    // "%d": an optionally signed decimal integer. A value beyond the int32
    // range saturates (scanf leaves that case undefined).
    bool readInt(int32_t& value) {
        skipSpace();
        char token[kNumberChars + 1];
        size_t n = copyToken(token);
        if (n == 0) return false;
        char* end = nullptr;
        long long v = std::strtoll(token, &end, 10);
        size_t used = static_cast<size_t>(end - token);
        if (used == 0 || used == kNumberChars) return false;
        if (v > INT32_MAX) v = INT32_MAX;
        if (v < INT32_MIN) v = INT32_MIN;
        value = static_cast<int32_t>(v);
        advance(used);
        return true;
    }

    // "%f": a float exactly as strtof converts it (decimal, exponent, hex,
    // inf, nan). A number of kNumberChars characters or more is refused.
    bool readFloat(float& value) {
        skipSpace();
        char token[kNumberChars + 1];
        size_t n = copyToken(token);
        if (n == 0) return false;
        char* end = nullptr;
        float v = std::strtof(token, &end);
        size_t used = static_cast<size_t>(end - token);
        if (used == 0 || used == kNumberChars) return false;
        value = v;
        advance(used);
        return true;
    }

    // "%s" into a buffer of capacity bytes (room for capacity - 1
    // characters and the terminator). Returns the word's full length, 0
    // when no word was left (end of file). A word that does not fit is
    // consumed whole and its first capacity - 1 characters are stored; the
    // caller sees a length >= capacity and rejects it.
    size_t readWord(char* buffer, size_t capacity) {
        skipSpace();
        size_t length = 0;
        for (int c = peek(); c >= 0 && !isSpace(c); c = peek()) {
            if (length + 1 < capacity) buffer[length] = static_cast<char>(c);
            ++length;
            ++pos_;
        }
        size_t stored = length + 1 < capacity ? length : capacity - 1;
        buffer[stored] = '\0';
        return length;
    }

private:
    // Longest number token handed to strtol / strtof; a longer run of
    // number characters is refused instead of being cut in two.
    static constexpr size_t kNumberChars = 255;

    static bool isSpace(int c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }

    // The next byte, or -1 (setting the end-of-file indicator) past the end.
    int peek() {
        if (pos_ >= size_) {
            eof_ = true;
            return -1;
        }
        return data_[pos_];
    }

    // Copies up to kNumberChars characters of the coming non-whitespace
    // run, NUL-terminated, for the C library's converters.
    size_t copyToken(char* token) {
        size_t n = 0;
        while (n < kNumberChars && pos_ + n < size_) {
            int c = data_[pos_ + n];
            if (isSpace(c) || c == 0) break;
            token[n++] = static_cast<char>(c);
        }
        token[n] = '\0';
        return n;
    }

    // Moves past a converted number. The converter looked at the character
    // after its last one, as scanf does, so a number that ends the data
    // sets the end-of-file indicator.
    void advance(size_t used) {
        pos_ += used;
        if (pos_ >= size_) eof_ = true;
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool eof_ = false;
};

// Appends everything left in an open stream to bytes. False on a read error.
inline bool readWholeStream(std::FILE* f, std::vector<uint8_t>& bytes) {
    uint8_t chunk[16384];
    for (;;) {
        size_t n = std::fread(chunk, 1, sizeof chunk, f);
        bytes.insert(bytes.end(), chunk, chunk + n);
        if (n < sizeof chunk) return !std::ferror(f);
    }
}

// Reads a whole file into bytes. False when it cannot be opened or read.
inline bool readWholeFile(const char* fileName, std::vector<uint8_t>& bytes) {
    bytes.clear();
    std::FILE* f = std::fopen(fileName, "rb");
    if (!f) return false;
    bool ok = readWholeStream(f, bytes);
    std::fclose(f);
    return ok;
}
