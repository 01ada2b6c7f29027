// Internals of the module player shared by midas_core.cpp and the two
// backends (midas_sdl.cpp, midas_virtual.cpp).
//
// The core owns the modules, the one playback and the renderer. The
// renderer plays the module in chunks of at most kChunkFrames frames and
// stamps every sync command with the sample frame at which its row begins;
// the stamped syncs wait in a fixed queue until the backend says the output
// has been heard up to their sample, and are then handed to the callback.
// The backends hand over what is due while they render, so the queue only
// holds the syncs between what has been heard and what has been rendered.
// Both the rendering and the firing run in the playback context (the
// backend's thread, or the virtual clock's poll); the main thread talks to
// it only through atomics (the callback pointer, a position request) and
// through stateMutex for starting and stopping.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/midas.h"

struct openmpt_module;

namespace midas {

constexpr int kSampleRate = 44100;
constexpr int kChannels = 2;           // interleaved 16-bit stereo
constexpr int kChunkFrames = 64;       // the most frames rendered in one step
constexpr int kMaxModules = 4;         // modules loaded at once; one more fails to load
// Stamped syncs not yet heard. A row holds at most 64 (one per channel),
// and the renderer runs at most about three device buffers and a margin
// ahead of what is heard: 3.6k frames with the 1024-frame buffer the
// device is asked for, which is 33 rows even at 110 frames a row (speed 1,
// tempo 1000), 2112 syncs. Only a device that grants a buffer of more than
// about 7000 frames could fill the queue with such a module; the syncs that
// do not fit are then counted and dropped, and the first drop of a
// playback is reported on standard error.
constexpr int kMaxPendingSyncs = 4096;
constexpr uint8_t kSyncEffect = 32;    // XM effect W: a sync command

// The sync commands of an XM file, found in its own pattern data, and the
// pattern delay (EEx) of each row, which makes a row last (1 + x) times its
// speed in ticks. Rows are numbered pattern by pattern: the rows of pattern
// p are firstRow[p] .. firstRow[p + 1] - 1; the syncs of row i, in channel
// order, are values[firstSync[i] .. firstSync[i + 1] - 1].
struct SyncTable {
    std::vector<uint32_t> firstRow;   // patterns + 1 entries
    std::vector<uint32_t> firstSync;  // rows + 1 entries
    std::vector<uint8_t> rowDelay;    // per row: x of the last EEx, 0 if none
    std::vector<uint8_t> values;

    int patterns() const { return firstRow.empty() ? 0 : static_cast<int>(firstRow.size()) - 1; }
    // Row index of (pattern, row), or -1 when the table has no such row.
    long rowIndex(int pattern, int row) const;
};

// Scans an XM file (version 0x0104) for sync commands and pattern delays.
// rowsOf(pattern) gives the row count the player uses for each pattern; a
// pattern whose stored data ends early keeps the cells read so far. False,
// with *error, when the bytes are not an XM file this scanner understands;
// the table is then empty.
using RowCountFn = int (*)(int pattern, void* user);
bool scanXmSyncs(const uint8_t* data, size_t size, RowCountFn rowsOf, void* user, SyncTable& table,
                 std::string* error);

// MIDASloadModule on a file already in memory (the file reader, the tests
// and the fuzz target share it): null when the bytes are not a module or
// the module pool is full.
MIDASmodule loadModuleFromMemory(const uint8_t* data, size_t size);

// Samples per tick at a tempo in BPM, as the player's classic XM timing
// counts them: 2.5 / tempo seconds, truncated.
int samplesPerTick(int tempo);

struct PendingSync {
    int64_t sample;  // the frame at which the row begins
    uint16_t order;
    uint16_t row;
    uint8_t value;
};

}  // namespace midas

struct MidasModule {
    bool used = false;
    openmpt_module* mod = nullptr;
    int orders = 0;
    midas::SyncTable syncs;
};

struct MidasPlayback {
    std::atomic<bool> active{false};
    MidasModule* module = nullptr;
    uint32_t generation = 0;  // new for every MIDASplayModule: backends reset their time base
    std::atomic<MIDASsyncCallback> callback{nullptr};
    std::atomic<int> positionRequest{-1};  // order to jump to before the next chunk, -1: none

    // Renderer state, touched only by the playback context.
    int64_t rendered = 0;    // frames rendered since play started
    int tickLeft = 0;        // frames left of the current tick; 0: the next frame starts a tick
    int ticksLeftInRow = 0;  // ticks of the current row after the current one
    bool tickKnown = true;   // false: tick boundaries lost, find the next row frame by frame
    int lastOrder = -1;
    int lastRow = -1;

    // Stamped syncs in sample order (a ring).
    midas::PendingSync pending[midas::kMaxPendingSyncs];
    int pendingHead = 0;
    int pendingCount = 0;
    int64_t droppedSyncs = 0;  // stamped while the queue was full
    bool overflowReported = false;
};

namespace midas {

// Guards the module pool and the playback's start and stop; the playback
// context holds it while it renders and fires.
std::mutex& stateMutex();
// The playing playback, or null; call with stateMutex held.
MidasPlayback* activePlayback();

// Renders up to min(frames, kChunkFrames) frames into out (interleaved
// stereo) and stamps the syncs of a row that starts in them. Applies a
// pending position request first. Returns the frames rendered (frames > 0:
// always at least one).
int renderChunk(MidasPlayback& pb, int16_t* out, int frames);
// Hands the stamped syncs whose sample is <= heard to the callback, in
// order. Backends call it between chunks as well as after them, so that a
// long stretch rendered at once (a late wake-up, a long virtual poll)
// never piles up syncs that are already due.
void fireDue(MidasPlayback& pb, int64_t heard);

// Which output plays the music, for whoever asks (nothing is printed).
enum class Output { None, Device, Silent, Virtual };
Output output();
// A line saying which output plays, e.g. "audio device (pulseaudio)" or
// "silent real-time thread (no audio device: ...)".
std::string outputDescription();

// What a backend supplies. init opens the output (MIDASinit), close
// releases it; startPlay starts the playback context, stopPlay ends it and
// returns once it no longer renders.
namespace backend {
bool init();
void close();
bool startPlay();
void stopPlay();
Output output();
std::string outputDescription();
}  // namespace backend

// The music pump of the virtual clock (midas_pump.cpp): renders up to
// clockFrame and fires the syncs due by then, handing the sound to
// vclock::emitAudioAt. clockPumpResume: the next pump carries on from
// where the sink left off (a backend started again).
void clockPump(int64_t clockFrame);
void clockPumpResume();
// Puts the playback back to order 0 and renders it silently, with no sync
// reaching the callback, as a run of the virtual clock through polls
// 0..poll-1 would; jumpOrder is requested just before poll jumpPoll (-1:
// never). A device backend stops and hands the playback to the clock pump
// until musicOffClock. False when nothing plays.
bool seekMusicToPoll(int64_t poll, int64_t jumpPoll, int jumpOrder);
void musicOffClock();
bool musicOnClock();
// Order 0, row 0, nothing rendered or pending, a new generation (call with
// stateMutex held).
void restartPlayback(MidasPlayback& pb);

}  // namespace midas
