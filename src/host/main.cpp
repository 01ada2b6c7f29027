// The demo: no arguments; everything it can be told is in plivak.cfg.
#include "host/host.h"

int main() { return DemoMain(); }
