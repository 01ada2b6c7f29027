// The module player's calls on libopenmpt, shared by both backends: module
// loading, the sync scan of the XM pattern data, and the renderer that
// stamps each sync with the sample frame where its row begins.
//
// Why the syncs come from the file and not from libopenmpt: libopenmpt keeps
// XM's W command as a silent no-op, but reports it through its own internal
// effect numbering, which is no stable interface. The file's pattern data
// is in memory anyway, and the W command (effect type 32) is plain there.
//
// Where a row begins: libopenmpt only tells which row is playing after a
// render call, not where in the rendered frames it began. XM's classic
// timing makes every tick a whole number of frames (samplesPerTick), so the
// renderer keeps its chunks inside ticks and knows that every tick begins at
// the start of a chunk; a new row begins with a tick whenever the position
// changed or the row has used up its speed x (1 + pattern delay) ticks. The
// second rule catches a row that jumps to itself. Should a row ever begin
// where no tick was due, the renderer stamps the chunk's start and walks
// frame by frame to the next row to find the tick grid again.
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/midas_internal.h"

namespace midas {
namespace {

MidasModule modulePool[kMaxModules];
MidasPlayback thePlayback;
uint32_t nextGeneration = 1;
bool initialised = false;

std::mutex theMutex;

constexpr size_t kMaxFileBytes = 64u << 20;

// Where the XM header keeps what the sync scan reads: the ID text at 0
// (17 bytes), the version at 58, and the size of the rest of the header,
// counted from 60, where that count itself begins.
constexpr char kXmId[] = "Extended Module: ";
constexpr size_t kXmIdBytes = sizeof kXmId - 1;
constexpr size_t kXmVersionOffset = 58;
constexpr size_t kXmHeaderSizeOffset = 60;

MidasModule* findModule(MIDASmodule m) {
    for (MidasModule& slot : modulePool)
        if (&slot == m && slot.used) return &slot;
    return nullptr;
}

bool isPlayback(MIDASmodulePlayHandle h) { return h == &thePlayback && thePlayback.active.load(); }

// Ends the playback: the playback context renders it no more and no sync
// reaches the callback. Call with theMutex held.
void deactivatePlayback() {
    thePlayback.active = false;
    thePlayback.callback = nullptr;
    thePlayback.module = nullptr;
}


void releaseModule(MidasModule& m) {
    if (m.mod) openmpt_module_destroy(m.mod);
    m.mod = nullptr;
    m.orders = 0;
    m.syncs = SyncTable{};
    m.used = false;
}

// Little-endian reads over a byte span; a read past the end returns 0 and
// clears ok, so a parse checks ok once after a group of reads.
struct ByteReader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    bool ok = true;

    bool has(size_t n) const { return ok && pos <= size && size - pos >= n; }
    uint8_t u8() {
        if (!has(1)) return fail();
        return data[pos++];
    }
    uint16_t u16() {
        if (!has(2)) return fail();
        uint16_t v = static_cast<uint16_t>(data[pos] | data[pos + 1] << 8);
        pos += 2;
        return v;
    }
    uint32_t u32() {
        if (!has(4)) return fail();
        uint32_t v = static_cast<uint32_t>(data[pos]) | static_cast<uint32_t>(data[pos + 1]) << 8 |
                     static_cast<uint32_t>(data[pos + 2]) << 16 | static_cast<uint32_t>(data[pos + 3]) << 24;
        pos += 4;
        return v;
    }
    void seek(size_t p) {
        if (p > size) ok = false;
        else pos = p;
    }
    uint8_t fail() {
        ok = false;
        return 0;
    }
};

// Reads one cell's effect type and parameter from packed pattern data.
bool readCell(ByteReader& r, uint8_t& effect, uint8_t& param) {
    uint8_t b = r.u8();
    effect = param = 0;
    if (b & 0x80) {
        if (b & 0x01) r.u8();  // note
        if (b & 0x02) r.u8();  // instrument
        if (b & 0x04) r.u8();  // volume column
        if (b & 0x08) effect = r.u8();
        if (b & 0x10) param = r.u8();
    } else {
        r.u8();  // instrument (b was the note)
        r.u8();  // volume column
        effect = r.u8();
        param = r.u8();
    }
    return r.ok;
}

void pushPending(MidasPlayback& pb, const PendingSync& s) {
    if (pb.pendingCount == kMaxPendingSyncs) {
        ++pb.droppedSyncs;
        if (!pb.overflowReported) {
            pb.overflowReported = true;
            std::fprintf(stderr,
                         "module player: sync queue overflow at order %u row %u, %d syncs waiting to be heard; "
                         "later ones are dropped\n",
                         s.order, s.row, kMaxPendingSyncs);
        }
        return;
    }
    pb.pending[(pb.pendingHead + pb.pendingCount) % kMaxPendingSyncs] = s;
    ++pb.pendingCount;
}

// Queues the syncs of the row now playing, stamped with the given frame,
// and returns the row's length in ticks.
int beginRow(MidasPlayback& pb, int64_t frame, int order, int row) {
    const SyncTable& t = pb.module->syncs;
    int pattern = openmpt_module_get_current_pattern(pb.module->mod);
    long i = t.rowIndex(pattern, row);
    int delay = 0;
    if (i >= 0) {
        delay = t.rowDelay[static_cast<size_t>(i)];
        for (uint32_t k = t.firstSync[static_cast<size_t>(i)]; k < t.firstSync[static_cast<size_t>(i) + 1]; ++k)
            pushPending(pb, PendingSync{frame, static_cast<uint16_t>(order), static_cast<uint16_t>(row), t.values[k]});
    }
    int speed = std::max(1, openmpt_module_get_current_speed(pb.module->mod));
    return speed * (1 + delay);
}

int currentTickFrames(const MidasPlayback& pb) { return samplesPerTick(openmpt_module_get_current_tempo(pb.module->mod)); }

}  // namespace

// Readies the playback to play its module from the start: order 0, row 0,
// a new generation (the backends restart their time base), nothing
// rendered, no syncs waiting. The callback stays as it was. Call with the
// state mutex held.
void restartPlayback(MidasPlayback& pb) {
    openmpt_module_set_position_order_row(pb.module->mod, 0, 0);
    pb.generation = nextGeneration++;
    pb.positionRequest = -1;
    pb.rendered = 0;
    pb.tickLeft = 0;
    pb.ticksLeftInRow = 0;
    pb.tickKnown = true;
    pb.lastOrder = -1;
    pb.lastRow = -1;
    pb.pendingHead = 0;
    pb.pendingCount = 0;
    pb.droppedSyncs = 0;
    pb.overflowReported = false;
}

long SyncTable::rowIndex(int pattern, int row) const {
    if (pattern < 0 || pattern >= patterns() || row < 0) return -1;
    uint32_t first = firstRow[static_cast<size_t>(pattern)];
    uint32_t end = firstRow[static_cast<size_t>(pattern) + 1];
    if (static_cast<uint32_t>(row) >= end - first) return -1;
    return static_cast<long>(first + static_cast<uint32_t>(row));
}

namespace {

// The counts the scan needs from the XM header, and where the first
// pattern begins.
struct XmHeader {
    uint16_t channels = 0;
    uint16_t patterns = 0;
    size_t firstPattern = 0;
};

const char* readXmHeader(const uint8_t* data, size_t size, XmHeader& h) {
    if (size < kXmHeaderSizeOffset || std::memcmp(data, kXmId, kXmIdBytes) != 0) return "not an XM file";
    ByteReader r{data, size};
    r.seek(kXmVersionOffset);
    uint16_t version = r.u16();
    if (version < 0x0104) return "XM version older than 1.04";
    uint32_t headerSize = r.u32();
    r.u16();  // song length
    r.u16();  // restart position
    h.channels = r.u16();
    h.patterns = r.u16();
    if (!r.ok) return "XM header cut short";
    if (h.channels == 0 || h.channels > 64 || h.patterns > 256) return "XM header counts out of range";
    h.firstPattern = kXmHeaderSizeOffset + static_cast<size_t>(headerSize);
    return nullptr;
}

// Adds the `rows` rows of the pattern at `start` to the table; every row
// gets an entry, even where the file ends early, and cells that cannot be
// read count as empty. Returns where the next pattern begins, or 0 when
// the pattern's header could not be read (the patterns after it are lost).
size_t scanPattern(const uint8_t* data, size_t size, size_t start, int rows, int channels, SyncTable& table) {
    ByteReader r{data, size};
    r.seek(start);
    uint32_t patHeader = r.u32();
    r.u8();  // packing type
    uint16_t fileRows = r.u16();
    uint16_t packedSize = r.u16();
    bool readable = r.ok && patHeader >= 9 && patHeader <= size;
    size_t dataStart = start + (readable ? patHeader : 0);
    size_t dataEnd = readable ? std::min(size, dataStart + packedSize) : 0;
    ByteReader cells{data, readable ? dataEnd : 0};
    cells.seek(readable ? dataStart : 0);
    int cellRows = readable && packedSize > 0 ? std::min<int>(rows, fileRows) : 0;
    for (int row = 0; row < rows; ++row) {
        uint8_t delay = 0;
        for (int c = 0; c < channels && row < cellRows && cells.ok; ++c) {
            uint8_t effect, param;
            if (!readCell(cells, effect, param)) break;
            if (effect == kSyncEffect) table.values.push_back(param);
            if (effect == 0xE && (param >> 4) == 0xE) delay = param & 0x0F;
        }
        table.rowDelay.push_back(delay);
        table.firstSync.push_back(static_cast<uint32_t>(table.values.size()));
    }
    table.firstRow.push_back(static_cast<uint32_t>(table.rowDelay.size()));
    return readable ? dataStart + packedSize : 0;
}

}  // namespace

bool scanXmSyncs(const uint8_t* data, size_t size, RowCountFn rowsOf, void* user, SyncTable& table,
                 std::string* error) {
    table = SyncTable{};
    XmHeader header;
    if (const char* what = readXmHeader(data, size, header)) {
        if (error) *error = what;
        return false;
    }
    table.firstRow.assign(1, 0);
    table.firstSync.assign(1, 0);
    size_t patternStart = header.firstPattern;
    for (int p = 0; p < header.patterns && patternStart != 0; ++p) {
        int rows = std::clamp(rowsOf ? rowsOf(p, user) : 0, 0, 1024);
        patternStart = scanPattern(data, size, patternStart, rows, header.channels, table);
    }
    // Patterns missing from a file cut short have no rows here.
    while (table.patterns() < header.patterns) table.firstRow.push_back(table.firstRow.back());
    return true;
}

int samplesPerTick(int tempo) {
    if (tempo <= 0) tempo = 125;
    return kSampleRate * 5 / (2 * tempo);
}

std::mutex& stateMutex() { return theMutex; }

MidasPlayback* activePlayback() { return thePlayback.active.load() ? &thePlayback : nullptr; }

int renderChunk(MidasPlayback& pb, int16_t* out, int frames) {
    openmpt_module* mod = pb.module->mod;
    int request = pb.positionRequest.exchange(-1);
    if (request >= 0) {
        // The new row begins with the next frame rendered.
        openmpt_module_set_position_order_row(mod, request, 0);
        pb.tickKnown = true;
        pb.tickLeft = 0;
        pb.ticksLeftInRow = 0;
        pb.lastOrder = -1;
    }

    int n = std::clamp(frames, 1, kChunkFrames);
    if (!pb.tickKnown) n = 1;
    else if (pb.tickLeft > 0) n = std::min(n, pb.tickLeft);
    bool startsTick = pb.tickKnown && pb.tickLeft == 0;

    size_t got = openmpt_module_read_interleaved_stereo(mod, kSampleRate, static_cast<size_t>(n), out);
    if (got < static_cast<size_t>(n))
        std::memset(out + got * kChannels, 0, (static_cast<size_t>(n) - got) * kChannels * sizeof(int16_t));

    int order = openmpt_module_get_current_order(mod);
    int row = openmpt_module_get_current_row(mod);
    bool moved = order != pb.lastOrder || row != pb.lastRow;
    int64_t start = pb.rendered;
    if (startsTick) {
        pb.tickLeft = currentTickFrames(pb) - n;
        if (pb.tickLeft < 0) pb.tickKnown = false;  // a tick shorter than a chunk
        if (moved || pb.ticksLeftInRow == 0)
            pb.ticksLeftInRow = beginRow(pb, start, order, row) - 1;
        else
            --pb.ticksLeftInRow;
    } else if (pb.tickKnown) {
        pb.tickLeft -= n;
        if (moved) {
            beginRow(pb, start, order, row);
            pb.tickKnown = false;
        }
    } else if (moved) {
        // Frame by frame: this frame begins the row, and with it a tick.
        pb.ticksLeftInRow = beginRow(pb, start, order, row) - 1;
        pb.tickLeft = currentTickFrames(pb) - 1;
        pb.tickKnown = pb.tickLeft >= 0;
    }
    pb.lastOrder = order;
    pb.lastRow = row;
    pb.rendered += n;
    return n;
}

void fireDue(MidasPlayback& pb, int64_t heard) {
    while (pb.pendingCount > 0) {
        const PendingSync& s = pb.pending[pb.pendingHead];
        if (s.sample > heard) break;
        PendingSync due = s;
        pb.pendingHead = (pb.pendingHead + 1) % kMaxPendingSyncs;
        --pb.pendingCount;
        if (MIDASsyncCallback cb = pb.callback.load()) cb(due.value, due.order, due.row);
    }
}

Output output() { return initialised ? backend::output() : Output::None; }
std::string outputDescription() { return initialised ? backend::outputDescription() : "not initialised"; }

}  // namespace midas

using namespace midas;

bool MIDASstartup() { return true; }

bool MIDASinit() {
    if (initialised) return true;
    initialised = backend::init();
    return initialised;
}

MIDASmodule MIDASloadModule(const char* fileName) {
    if (!fileName) return nullptr;
    std::FILE* f = std::fopen(fileName, "rb");
    if (!f) return nullptr;
    std::vector<uint8_t> bytes;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && bytes.size() <= kMaxFileBytes)
        bytes.insert(bytes.end(), buf, buf + n);
    bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError) return nullptr;
    return loadModuleFromMemory(bytes.data(), bytes.size());
}

MIDASmodule midas::loadModuleFromMemory(const uint8_t* data, size_t size) {
    if (!data || size == 0 || size > kMaxFileBytes) return nullptr;
    openmpt_module* mod = openmpt_module_create_from_memory2(data, size, openmpt_log_func_silent,
                                                             nullptr, openmpt_error_func_ignore, nullptr, nullptr,
                                                             nullptr, nullptr);
    if (!mod) return nullptr;
    // Follow the module's own jumps for ever; no dither, so that the same
    // run gives the same samples.
    openmpt_module_set_repeat_count(mod, -1);
    openmpt_module_ctl_set_integer(mod, "dither", 0);

    std::lock_guard<std::mutex> lock(theMutex);
    MidasModule* slot = nullptr;
    for (MidasModule& m : modulePool)
        if (!m.used) {
            slot = &m;
            break;
        }
    if (!slot) {
        openmpt_module_destroy(mod);
        return nullptr;
    }
    slot->used = true;
    slot->mod = mod;
    slot->orders = openmpt_module_get_num_orders(mod);
    // A module of another format plays without syncs.
    scanXmSyncs(
        data, size,
        [](int pattern, void* user) {
            return openmpt_module_get_pattern_num_rows(static_cast<openmpt_module*>(user), pattern);
        },
        mod, slot->syncs, nullptr);
    return slot;
}

// One playback at a time: null while another is playing.
MIDASmodulePlayHandle MIDASplayModule(MIDASmodule module, int) {
    std::lock_guard<std::mutex> lock(theMutex);
    MidasModule* m = findModule(module);
    if (!m || thePlayback.active.load()) return nullptr;
    thePlayback.module = m;
    restartPlayback(thePlayback);
    thePlayback.active = true;
    return &thePlayback;
}

bool MIDASsetMusicSyncCallback(MIDASmodulePlayHandle playHandle, MIDASsyncCallback callback) {
    if (!isPlayback(playHandle)) return false;
    playHandle->callback = callback;
    return true;
}

bool MIDASstartBackgroundPlay(int) {
    if (!initialised) return false;
    return backend::startPlay();
}

bool MIDASsetPosition(MIDASmodulePlayHandle playHandle, int newPosition) {
    if (!isPlayback(playHandle)) return false;
    if (newPosition < 0 || newPosition >= playHandle->module->orders) return false;
    playHandle->positionRequest = newPosition;
    return true;
}

bool MIDASstopBackgroundPlay() {
    if (!initialised) return false;
    backend::stopPlay();
    return true;
}

bool MIDASstopModule(MIDASmodulePlayHandle playHandle) {
    std::lock_guard<std::mutex> lock(theMutex);
    if (!isPlayback(playHandle)) return false;
    deactivatePlayback();
    return true;
}

bool MIDASfreeModule(MIDASmodule module) {
    std::lock_guard<std::mutex> lock(theMutex);
    MidasModule* m = findModule(module);
    if (!m) return false;
    if (thePlayback.active.load() && thePlayback.module == m) deactivatePlayback();
    releaseModule(*m);
    return true;
}

bool MIDASclose() {
    if (initialised) backend::stopPlay();
    {
        std::lock_guard<std::mutex> lock(theMutex);
        deactivatePlayback();
        for (MidasModule& m : modulePool)
            if (m.used) releaseModule(m);
    }
    if (initialised) backend::close();
    initialised = false;
    return true;
}
