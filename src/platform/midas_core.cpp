// Placeholder module player: loads nothing, plays silence, sends no syncs.
#include "platform/midas.h"

#include <cstdio>

struct MidasModule {};
struct MidasPlayback {};

namespace {
MidasModule theModule;
MidasPlayback thePlayback;
}  // namespace

bool MIDASstartup() { return true; }
bool MIDASinit() { return true; }
MIDASmodule MIDASloadModule(const char* fileName) {
    std::FILE* f = std::fopen(fileName, "rb");
    if (!f) return nullptr;
    std::fclose(f);
    return &theModule;
}
MIDASmodulePlayHandle MIDASplayModule(MIDASmodule, int) { return &thePlayback; }
bool MIDASsetMusicSyncCallback(MIDASmodulePlayHandle, MIDASsyncCallback) { return true; }
bool MIDASstartBackgroundPlay(int) { return true; }
bool MIDASsetPosition(MIDASmodulePlayHandle, int) { return true; }
bool MIDASstopBackgroundPlay() { return true; }
bool MIDASstopModule(MIDASmodulePlayHandle) { return true; }
bool MIDASfreeModule(MIDASmodule) { return true; }
bool MIDASclose() { return true; }
