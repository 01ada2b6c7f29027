// The soundtrack; its sync callback moves the stage's counters.
#include <cstdio>
#include <cstdlib>

#include "host/host.h"
#include "platform/midas.h"

namespace {
MIDASmodule module = nullptr;
MIDASmodulePlayHandle playHandle = nullptr;
}  // namespace

void MusicSyncCallback(unsigned syncNum, unsigned, unsigned) {
    if (syncNum == 19)
        BeatCounter.fetch_add(1, std::memory_order_relaxed);
    else
        SyncCounter.fetch_add(1, std::memory_order_relaxed);
}

void MusicStart(const char* fileName) {
    if (!MIDASstartup()) std::exit(1);
    if (!MIDASinit()) std::exit(1);
    module = MIDASloadModule(fileName);
    if (!module) {
        // As the loaders do with "verbose": say which file and why.
        if (VerboseLoading) {
            std::FILE* f = std::fopen(fileName, "rb");
            std::fprintf(stderr, "cannot load %s: %s\n", fileName, f ? "not a module the player can read" : "cannot open");
            if (f) std::fclose(f);
        }
        std::exit(1);
    }
    playHandle = MIDASplayModule(module, 0);
    if (!playHandle) std::exit(1);
}

void MusicPlay() {
    MIDASsetMusicSyncCallback(playHandle, MusicSyncCallback);
    if (!MIDASstartBackgroundPlay(50)) std::exit(1);
}

bool MusicSetPosition(int position) { return MIDASsetPosition(playHandle, position); }

void MusicStop() {
    MIDASstopBackgroundPlay();
    MIDASstopModule(playHandle);
}

void MusicClose() {
    MIDASfreeModule(module);
    MIDASclose();
}
