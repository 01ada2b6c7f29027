// plivak-capture: the demo on the virtual clock (filled in below).
#include "host/host.h"
#include "platform/virtual_clock.h"

int main() {
    vclock::configure(60.0, -1.0);
    return DemoMain();
}
