// The module player: named calls in the style of the sound system the demo
// was written for, implemented on libopenmpt. Host code uses only this
// header. Two backends: an audio device (or a silent real-time thread when
// there is none) for the demo, and the virtual clock for capture and tests.
#pragma once

#include <cstdint>

struct MidasModule;
struct MidasPlayback;
using MIDASmodule = MidasModule*;
using MIDASmodulePlayHandle = MidasPlayback*;

// Called once per sync command (XM effect W, parameter = syncNum) when the
// row holding it is heard, in channel order, from the playback context.
using MIDASsyncCallback = void (*)(unsigned syncNum, unsigned position, unsigned row);

bool MIDASstartup();
bool MIDASinit();
// Null when the file cannot be read or is not a module.
MIDASmodule MIDASloadModule(const char* fileName);
// Starts playing from the first order. Playback follows the module's own
// jumps for as long as it plays, including a jump back from its last order
// (that is how the closing music loops), whatever loopSong says; the
// argument is kept for the interface's sake. Null on failure.
MIDASmodulePlayHandle MIDASplayModule(MIDASmodule module, int loopSong);
bool MIDASsetMusicSyncCallback(MIDASmodulePlayHandle playHandle, MIDASsyncCallback callback);
// Starts the background playback context; pollRate is kept for the
// interface's sake (the device drives playback).
bool MIDASstartBackgroundPlay(int pollRate);
// Jumps to an order position; false when the position does not exist.
bool MIDASsetPosition(MIDASmodulePlayHandle playHandle, int newPosition);
bool MIDASstopBackgroundPlay();
bool MIDASstopModule(MIDASmodulePlayHandle playHandle);
bool MIDASfreeModule(MIDASmodule module);
bool MIDASclose();
