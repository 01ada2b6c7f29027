// The chapter file, "chapters.dat" in the data folder: the show's state at
// each chapter point, recorded once by plivak-capture --chapters when the
// build runs, so that a seek can start there instead of at the beginning
// (host/seek.h). It holds one configuration and one frame rate; a show
// run with another pre-rolls from the start.
//
// The file is gzip-compressed (GZ_Stream reads it). Inside, little-endian:
//   "PLVKCHAP", u32 version (1), f64 fps, u32 console height,
//   u8 skip-final, u8 final-only, i64 music jump poll (-1: none),
//   i32 music jump order, u32 chapter count, then per chapter:
//   u8 step (1..18), u32 index inside the step (0: its start), i64 polls,
//   u8 presented-since-poll, u8 frame-pending, u8 timer running,
//   f64 timer base, f64 timer held, i32 beat, i32 sync, i32 last beat,
//   u32 random state, i64 morph steps, f32 morph centre x, f32 centre y,
//   7 x i32 closing-part loop state, u8 shown-is-frame, 320x200 u32 frame
//   buffer, and when the shown picture differs, u32 width, u32 height and
//   its width x height u32.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct ChapterPoint {
    int32_t step = 0;     // 1..18
    uint32_t inside = 0;  // 0: the step's start; k: the k-th point inside it
    int64_t polls = 0;    // virtual clock polls made: the step's first frame
    bool presentedSincePoll = false;
    bool framePending = false;
    bool timerRunning = false;
    double timerBase = 0.0;
    double timerHeld = 0.0;
    int32_t beat = 0;
    int32_t sync = 0;
    int32_t lastBeat = 0;
    uint32_t random = 0;
    int64_t morphSteps = 0;
    float morphCentreX = 0.0f;
    float morphCentreY = 0.0f;
    int32_t finalLoop[7] = {};
    // Offsets into ChapterFile::pixels: the 320x200 frame buffer, and the
    // shown picture (shownWidth x shownHeight; the frame buffer's own
    // offset when it is the same picture).
    size_t frame = 0;
    size_t shown = 0;
    int32_t shownWidth = 320;
    int32_t shownHeight = 200;
};

struct ChapterFile {
    double fps = 60.0;
    int32_t consoleHeight = 200;
    bool skipFinal = false;
    bool finalOnly = false;
    int64_t musicJumpPoll = -1;
    int32_t musicJumpOrder = 0;
    std::vector<ChapterPoint> chapters;  // in show order (polls ascending)
    std::vector<uint32_t> pixels;
};

constexpr int kChapterFrameWidth = 320;
constexpr int kChapterFrameHeight = 200;
constexpr int kMaxChapters = 512;
constexpr int64_t kMaxChapterPolls = int64_t{1} << 22;  // 19 hours at 60 frames a second
constexpr int64_t kMaxMorphSteps = int64_t{1} << 22;

// Parses the uncompressed bytes. False, with a fixed text in *error, when
// they are not a whole and consistent chapter file; `out` is then empty.
bool parseChapterFile(const uint8_t* data, size_t size, ChapterFile& out, const char** error);
// Reads and parses a file, gzip-compressed or plain. False, with a text in
// *error, when it cannot be read or parsed.
bool readChapterFile(const char* fileName, ChapterFile& out, const char** error);
// The bytes parseChapterFile reads back as `file`.
std::vector<uint8_t> serialiseChapterFile(const ChapterFile& file);
// Writes serialiseChapterFile's bytes gzip-compressed; false on failure.
// Not in the web build (it records nothing).
bool writeChapterFile(const char* fileName, const ChapterFile& file);
