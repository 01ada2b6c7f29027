// The module loader and the XM sync scanner: the bytes are loaded as the
// music file is, and a module that loads is played for a second of sample
// frames through the chunked renderer, with a jump to another order half
// way, firing every sync it stamps. Bytes the player rejects still go
// through the scanner, with 64 rows per pattern.
#include <libopenmpt/libopenmpt.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/midas_internal.h"

namespace {

int64_t firedSyncs = 0;
void countSync(unsigned, unsigned, unsigned) { ++firedSyncs; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MIDASmodule module = midas::loadModuleFromMemory(data, size);
    if (!module) {
        midas::SyncTable table;
        std::string error;
        midas::scanXmSyncs(
            data, size, [](int, void*) { return 64; }, nullptr, table, &error);
        return 0;
    }
    // The cheapest resampler: the renderer's stamping is under test, not
    // the sound.
    openmpt_module_set_render_param(module->mod, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, 1);
    MIDASmodulePlayHandle play = MIDASplayModule(module, 0);
    if (!play) __builtin_trap();  // nothing else is playing
    MIDASsetMusicSyncCallback(play, countSync);
    static int16_t out[midas::kChunkFrames * midas::kChannels];
    constexpr int64_t kFrames = midas::kSampleRate;
    bool jumped = false;
    while (play->rendered < kFrames) {
        if (!jumped && play->rendered >= kFrames / 2) {
            MIDASsetPosition(play, module->orders > 1 ? 1 : 0);
            jumped = true;
        }
        midas::renderChunk(*play, out, midas::kChunkFrames);
        midas::fireDue(*play, play->rendered);
    }
    MIDASstopModule(play);
    MIDASfreeModule(module);
    return 0;
}
