// The demo. The command line (see --help) is applied on top of plivak.cfg.
#include <cstdio>

#include "host/host.h"
#include "host/options.h"
#include "platform/display.h"

int main(int argc, char** argv) {
    int status = ParseCommandLine(argc, argv);
    if (status >= 0) return status;
    // Without a display SDL would play the whole show in an offscreen
    // window nobody sees; say so and stop before loading anything.
    const char* driver = nullptr;
    if (!ptc::videoDisplayPresent(driver)) {
        std::fprintf(stderr,
                     "plivak: no display to open a window on (SDL video driver: %s); "
                     "plivak-capture records the demo without one\n",
                     driver);
        return 1;
    }
    ApplySeekOptions(CommandLine);
    return DemoMain();
}
