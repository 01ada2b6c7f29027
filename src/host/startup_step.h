// The step start-up is in, for the one line printed when memory runs out.
#pragma once

// Out of memory during start-up. StartUp installs OutOfMemoryAtStartup as
// the new-handler, so an allocation that fails anywhere before the console
// opens (a plain new, a nothrow new, one inside a reader or a library
// container) ends the process with status 1 instead of an exception that
// nothing catches; with "verbose" it first prints the one line
// "cannot VERB WHAT: out of memory" for the step named last by
// StartupStep. Each step of start-up names itself before it allocates:
// StartupStep("load", "../data/cooltext.pcx"), StartupStep("make", "the
// blob field"). The text is kept in a fixed buffer, so naming a step
// allocates nothing.
void StartupStep(const char* verb, const char* what);
[[noreturn]] void OutOfMemoryAtStartup();
