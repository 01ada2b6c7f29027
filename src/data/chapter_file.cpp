// The chapter file's reader and writer (chapter_file.h).
#include "data/chapter_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "data/gz_stream.h"

#ifndef __EMSCRIPTEN__
#include <zlib.h>
#endif

namespace {

constexpr char kMagic[8] = {'P', 'L', 'V', 'K', 'C', 'H', 'A', 'P'};
constexpr uint32_t kVersion = 1;
constexpr size_t kFramePixels = static_cast<size_t>(kChapterFrameWidth) * kChapterFrameHeight;

// Little-endian reads; a read past the end gives 0 and clears ok.
struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    bool ok = true;

    bool take(void* out, size_t n) {
        if (!ok || size - pos < n) {
            ok = false;
            std::memset(out, 0, n);
            return false;
        }
        std::memcpy(out, data + pos, n);  // the host is little-endian, as the file
        pos += n;
        return true;
    }
    template <typename T>
    T get() {
        T v;
        take(&v, sizeof v);
        return v;
    }
    bool flag(bool& out) {
        uint8_t b = get<uint8_t>();
        if (b > 1) ok = false;
        out = b == 1;
        return ok;
    }
};

struct Writer {
    std::vector<uint8_t> bytes;
    void put(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
    template <typename T>
    void add(T v) {
        put(&v, sizeof v);
    }
};

bool fail(ChapterFile& out, const char** error, const char* text) {
    out = ChapterFile{};
    if (error) *error = text;
    return false;
}

}  // namespace

bool parseChapterFile(const uint8_t* data, size_t size, ChapterFile& out, const char** error) {
    out = ChapterFile{};
    if (!data || size < sizeof kMagic || std::memcmp(data, kMagic, sizeof kMagic) != 0)
        return fail(out, error, "not a chapter file");
    Reader r{data, size, sizeof kMagic};
    if (r.get<uint32_t>() != kVersion) return fail(out, error, "unknown chapter file version");
    out.fps = r.get<double>();
    out.consoleHeight = static_cast<int32_t>(r.get<uint32_t>());
    r.flag(out.skipFinal);
    r.flag(out.finalOnly);
    out.musicJumpPoll = r.get<int64_t>();
    out.musicJumpOrder = r.get<int32_t>();
    const uint32_t count = r.get<uint32_t>();
    if (!r.ok) return fail(out, error, "chapter file cut short");
    if (!std::isfinite(out.fps) || out.fps < 1.0 || out.fps > 1000.0) return fail(out, error, "bad frame rate");
    if (out.consoleHeight != 200 && out.consoleHeight != 240) return fail(out, error, "bad console height");
    if (out.musicJumpPoll < -1 || out.musicJumpPoll > kMaxChapterPolls || out.musicJumpOrder < 0 ||
        out.musicJumpOrder > 255)
        return fail(out, error, "bad music jump");
    if (count == 0 || count > kMaxChapters) return fail(out, error, "bad chapter count");
    // Every chapter holds at least its frame buffer: a count the bytes
    // cannot hold is refused before anything is allocated for it.
    if ((size - r.pos) / (kFramePixels * 4) < count) return fail(out, error, "chapter file cut short");
    out.chapters.reserve(count);
    out.pixels.reserve(count * kFramePixels);
    int64_t lastPolls = -1;
    for (uint32_t i = 0; i < count; ++i) {
        ChapterPoint c;
        c.step = r.get<uint8_t>();
        c.inside = r.get<uint32_t>();
        c.polls = r.get<int64_t>();
        r.flag(c.presentedSincePoll);
        r.flag(c.framePending);
        r.flag(c.timerRunning);
        c.timerBase = r.get<double>();
        c.timerHeld = r.get<double>();
        c.beat = r.get<int32_t>();
        c.sync = r.get<int32_t>();
        c.lastBeat = r.get<int32_t>();
        c.random = r.get<uint32_t>();
        c.morphSteps = r.get<int64_t>();
        c.morphCentreX = r.get<float>();
        c.morphCentreY = r.get<float>();
        for (int32_t& v : c.finalLoop) v = r.get<int32_t>();
        bool shownIsFrame = false;
        r.flag(shownIsFrame);
        if (!r.ok) return fail(out, error, "chapter file cut short");
        if (c.step < 1 || c.step > 18 || c.inside > 100000) return fail(out, error, "bad chapter step");
        if (c.polls < 0 || c.polls > kMaxChapterPolls || c.polls < lastPolls)
            return fail(out, error, "chapters out of order");
        lastPolls = c.polls;
        if (!std::isfinite(c.timerBase) || !std::isfinite(c.timerHeld) || !std::isfinite(c.morphCentreX) ||
            !std::isfinite(c.morphCentreY) || std::fabs(c.morphCentreX) > 1e6f || std::fabs(c.morphCentreY) > 1e6f)
            return fail(out, error, "bad chapter number");
        if (c.morphSteps < 0 || c.morphSteps > kMaxMorphSteps) return fail(out, error, "bad morph steps");
        // The closing part's banner index picks one of 8 banners and its
        // guide box must lie on the 320x200 screen.
        const int32_t* f = c.finalLoop;
        if (f[1] < 0 || f[1] > 7 || f[2] < 0 || f[2] > 1 || f[3] < 0 || f[4] < 0 || f[5] < 0 || f[6] < 0 ||
            f[3] + f[5] > kChapterFrameWidth || f[4] + f[6] > kChapterFrameHeight)
            return fail(out, error, "bad closing part state");
        c.frame = out.pixels.size();
        out.pixels.resize(c.frame + kFramePixels);
        if (!r.take(out.pixels.data() + c.frame, kFramePixels * 4)) return fail(out, error, "chapter file cut short");
        if (shownIsFrame) {
            c.shown = c.frame;
        } else {
            c.shownWidth = static_cast<int32_t>(r.get<uint32_t>());
            c.shownHeight = static_cast<int32_t>(r.get<uint32_t>());
            if (!r.ok) return fail(out, error, "chapter file cut short");
            if (c.shownWidth != kChapterFrameWidth || (c.shownHeight != 200 && c.shownHeight != 240))
                return fail(out, error, "bad shown picture size");
            const size_t n = static_cast<size_t>(c.shownWidth) * static_cast<size_t>(c.shownHeight);
            if ((size - r.pos) / 4 < n) return fail(out, error, "chapter file cut short");
            c.shown = out.pixels.size();
            out.pixels.resize(c.shown + n);
            r.take(out.pixels.data() + c.shown, n * 4);
        }
        out.chapters.push_back(c);
    }
    if (r.pos != size) return fail(out, error, "bytes after the last chapter");
    return true;
}

std::vector<uint8_t> serialiseChapterFile(const ChapterFile& file) {
    Writer w;
    w.put(kMagic, sizeof kMagic);
    w.add<uint32_t>(kVersion);
    w.add<double>(file.fps);
    w.add<uint32_t>(static_cast<uint32_t>(file.consoleHeight));
    w.add<uint8_t>(file.skipFinal ? 1 : 0);
    w.add<uint8_t>(file.finalOnly ? 1 : 0);
    w.add<int64_t>(file.musicJumpPoll);
    w.add<int32_t>(file.musicJumpOrder);
    w.add<uint32_t>(static_cast<uint32_t>(file.chapters.size()));
    for (const ChapterPoint& c : file.chapters) {
        w.add<uint8_t>(static_cast<uint8_t>(c.step));
        w.add<uint32_t>(c.inside);
        w.add<int64_t>(c.polls);
        w.add<uint8_t>(c.presentedSincePoll ? 1 : 0);
        w.add<uint8_t>(c.framePending ? 1 : 0);
        w.add<uint8_t>(c.timerRunning ? 1 : 0);
        w.add<double>(c.timerBase);
        w.add<double>(c.timerHeld);
        w.add<int32_t>(c.beat);
        w.add<int32_t>(c.sync);
        w.add<int32_t>(c.lastBeat);
        w.add<uint32_t>(c.random);
        w.add<int64_t>(c.morphSteps);
        w.add<float>(c.morphCentreX);
        w.add<float>(c.morphCentreY);
        for (int32_t v : c.finalLoop) w.add<int32_t>(v);
        const bool same = c.shown == c.frame;
        w.add<uint8_t>(same ? 1 : 0);
        w.put(file.pixels.data() + c.frame, kFramePixels * 4);
        if (!same) {
            w.add<uint32_t>(static_cast<uint32_t>(c.shownWidth));
            w.add<uint32_t>(static_cast<uint32_t>(c.shownHeight));
            w.put(file.pixels.data() + c.shown, static_cast<size_t>(c.shownWidth) * c.shownHeight * 4);
        }
    }
    return w.bytes;
}

bool readChapterFile(const char* fileName, ChapterFile& out, const char** error) {
    out = ChapterFile{};
    try {
        GZ_Buffer buffer(1 << 20);
        GZ_Stream stream(&buffer);
        stream.read(fileName);
        return parseChapterFile(buffer.data, static_cast<size_t>(buffer.length), out, error);
    } catch (GZ_Error& e) {
        if (error) *error = e.message;
    } catch (std::bad_alloc&) {
        if (error) *error = "out of memory";
    }
    return false;
}

bool writeChapterFile(const char* fileName, const ChapterFile& file) {
#ifdef __EMSCRIPTEN__
    (void)fileName;
    (void)file;
    return false;
#else
    const std::vector<uint8_t> bytes = serialiseChapterFile(file);
    gzFile f = gzopen(fileName, "wb6");
    if (!f) return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const unsigned n = static_cast<unsigned>(std::min<size_t>(bytes.size() - done, 1u << 20));
        ok = gzwrite(f, bytes.data() + done, n) == static_cast<int>(n);
        done += n;
    }
    return gzclose(f) == Z_OK && ok;
#endif
}
