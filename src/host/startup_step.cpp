// The step start-up is in, and the end of the process when memory runs out.
#include "host/startup_step.h"

#include <cstdio>
#include <cstdlib>

#include "host/host.h"

namespace {

// "VERB WHAT" of the step start-up is in; long file names are cut.
char startupStep[320] = "start up";

}  // namespace

void StartupStep(const char* verb, const char* what) {
    std::snprintf(startupStep, sizeof startupStep, "%s %s", verb, what);
}

void OutOfMemoryAtStartup() {
    if (VerboseLoading) std::fprintf(stderr, "cannot %s: out of memory\n", startupStep);
    std::exit(1);
}
