// The display settings, shared by both console backends.
#include "platform/display.h"

namespace ptc {
namespace {
DisplaySettings current;
}

void setDisplaySettings(const DisplaySettings& settings) { current = settings; }
const DisplaySettings& displaySettings() { return current; }

}  // namespace ptc
