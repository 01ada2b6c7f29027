// "plivak.cfg": the text goes through the same tokenizer ReadConfig uses;
// whatever it says, the settings stay within their values.
#include <cstddef>
#include <cstdint>

#include "host/host.h"
#include "host/options.h"

// The present routines are only compared, never called, by the
// configuration code; the command line and the display settings are only
// reached through ReadConfig, which the target does not call.
void (*PresentFrame)() = nullptr;
void PresentFull() {}
void PresentLetterbox() {}
CommandLineOptions CommandLine;
void ptc::setDisplaySettings(const ptc::DisplaySettings&) {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ResetConfig();
    ApplyConfigText(reinterpret_cast<const char*>(data), size);
    if (ConsoleHeight != 200 && ConsoleHeight != 240) __builtin_trap();
    if ((ConsoleHeight == 240) != (PresentFrame == &PresentLetterbox)) __builtin_trap();
    return 0;
}
