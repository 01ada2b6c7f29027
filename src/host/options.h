// plivak's command line. The options are applied on top of plivak.cfg:
// ReadConfig reads the file, then applies what the command line asked for.
#pragma once

#include <cstdio>

#include "platform/display.h"

// Set by "fullscreen" in plivak.cfg, --fullscreen and --window.
extern bool Fullscreen;

struct CommandLineOptions {
    const char* configFile = nullptr;  // --config FILE: read instead of ./plivak.cfg
    int fullscreen = -1;               // -1 as plivak.cfg says, 0 --window, 1 --fullscreen
    bool presentationGiven = false;    // --renderer
    ptc::Presentation presentation = ptc::Presentation::Auto;
    double from = -1.0;                // --from TIME: start there (< 0: at the beginning)
    int step = 0;                      // --step N: start at step N's chapter point
    bool explore = false;              // --explore: pause, chapters and frame steps on keys
};

// What the command line said; ReadConfig applies it after the file.
extern CommandLineOptions CommandLine;

enum class OptionResult {
    NotMine,  // argv[i] is none of the host's options
    Taken,    // argv[i] (and its value, if any) applied to `options`; i moved past it
    Bad,      // a missing or unknown value; `error` says what
};

// Looks at argv[i]: --config FILE, --fullscreen, --window, --renderer
// auto|gpu|surface. A value that begins with '-' is never taken as one.
OptionResult TakeHostOption(int argc, char** argv, int& i, CommandLineOptions& options, const char*& error);

// Applies the command line on top of what plivak.cfg set, and hands the
// display settings to the console. ReadConfig calls it after the file.
void ApplyCommandLine(const CommandLineOptions& options);

// Parses plivak's whole command line into CommandLine. Returns -1 to go on,
// or the exit status: 0 after --help or --version, 2 after a bad option
// (the usage then goes to standard error).
int ParseCommandLine(int argc, char** argv);

void PrintUsage(std::FILE* out);
// Asks for the seek and the explore mode the command line gave, once the
// chapter file is read (a missing one is said in one line, and the demo
// then plays from the start). Called by main before DemoMain.
void ApplySeekOptions(const CommandLineOptions& options);
// "plivak 1.0" and a newline, with the given program name.
void PrintVersion(const char* program);
