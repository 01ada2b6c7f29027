#include "show_digest.h"

#include <zlib.h>

#include <cstdio>
#include <sstream>
#include <vector>

namespace showdigest {

namespace {

uint32_t crcOf(uint32_t crc, const unsigned char* bytes, size_t n) {
    return static_cast<uint32_t>(crc32(crc, bytes, static_cast<uInt>(n)));
}

std::string hex8(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08x", v);
    return buf;
}

std::string describe(const StepDigest& s) { return std::to_string(s.frames) + " frames, crc " + hex8(s.crc); }

const StepDigest* findStep(const ShowDigest& d, int step) {
    for (const StepDigest& s : d.steps)
        if (s.step == step) return &s;
    return nullptr;
}

}  // namespace

void addFrame(ShowDigest& d, int step, uint32_t pictureCrc) {
    StepDigest* s = nullptr;
    for (StepDigest& x : d.steps)
        if (x.step == step) s = &x;
    if (!s) {
        d.steps.push_back(StepDigest{step, 0, crcOf(0, nullptr, 0)});
        s = &d.steps.back();
    }
    const unsigned char le[4] = {static_cast<unsigned char>(pictureCrc), static_cast<unsigned char>(pictureCrc >> 8),
                                 static_cast<unsigned char>(pictureCrc >> 16),
                                 static_cast<unsigned char>(pictureCrc >> 24)};
    s->crc = crcOf(s->crc, le, sizeof le);
    s->frames++;
}

bool fileCrc(const std::string& path, uint64_t& bytes, uint32_t& crc) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::vector<unsigned char> buf(1 << 16);
    bytes = 0;
    crc = crcOf(0, nullptr, 0);
    for (size_t n; (n = std::fread(buf.data(), 1, buf.size(), f)) > 0;) {
        crc = crcOf(crc, buf.data(), n);
        bytes += n;
    }
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

std::string formatDigest(const ShowDigest& d) {
    std::string out =
        "# The whole show as plivak-capture plays it at 60 fps: per step, its\n"
        "# frame count and a CRC-32 of its frames' picture CRCs; then the size\n"
        "# and CRC-32 of the 44.1 kHz WAV. Checked by FullShow.PlaysEveryStepToTheEnd.\n"
        "# Rewrite it only after a deliberate change of a picture or of the music:\n"
        "#   tools/update_show_digest.sh\n";
    for (const StepDigest& s : d.steps)
        out += "step " + std::to_string(s.step) + " frames " + std::to_string(s.frames) + " crc " + hex8(s.crc) + "\n";
    out += "wav bytes " + std::to_string(d.wavBytes) + " crc " + hex8(d.wavCrc) + "\n";
    return out;
}

bool parseDigest(const std::string& text, ShowDigest& out, std::string& error) {
    out = ShowDigest{};
    std::istringstream in(text);
    bool sawWav = false;
    int lineNo = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNo;
        if (line.empty() || line[0] == '#') continue;
        StepDigest s;
        unsigned crc = 0;
        unsigned long long bytes = 0;
        char tail = 0;
        if (std::sscanf(line.c_str(), "step %d frames %ld crc %8x %c", &s.step, &s.frames, &crc, &tail) == 3 &&
            s.frames > 0 && !findStep(out, s.step)) {
            s.crc = crc;
            out.steps.push_back(s);
        } else if (!sawWav && std::sscanf(line.c_str(), "wav bytes %llu crc %8x %c", &bytes, &crc, &tail) == 2) {
            out.wavBytes = bytes;
            out.wavCrc = crc;
            sawWav = true;
        } else {
            error = "line " + std::to_string(lineNo) + ": " + line;
            return false;
        }
    }
    if (!sawWav || out.steps.empty()) {
        error = sawWav ? "no step lines" : "no wav line";
        return false;
    }
    return true;
}

std::vector<std::string> compareDigests(const ShowDigest& expected, const ShowDigest& actual) {
    std::vector<std::string> out;
    for (const StepDigest& e : expected.steps) {
        const StepDigest* a = findStep(actual, e.step);
        if (!a)
            out.push_back("step " + std::to_string(e.step) + ": missing (digest: " + describe(e) + ")");
        else if (a->frames != e.frames || a->crc != e.crc)
            out.push_back("step " + std::to_string(e.step) + ": " + describe(*a) + " (digest: " + describe(e) + ")");
    }
    for (const StepDigest& a : actual.steps)
        if (!findStep(expected, a.step))
            out.push_back("step " + std::to_string(a.step) + ": " + describe(a) + " (not in the digest)");
    if (actual.wavBytes != expected.wavBytes || actual.wavCrc != expected.wavCrc)
        out.push_back("wav: " + std::to_string(actual.wavBytes) + " bytes, crc " + hex8(actual.wavCrc) + " (digest: " +
                      std::to_string(expected.wavBytes) + " bytes, crc " + hex8(expected.wavCrc) + ")");
    return out;
}

}  // namespace showdigest
