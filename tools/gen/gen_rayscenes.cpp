#include "gen/generators.h"

bool writeRayScenes(const std::string&) { return true; }  // not written yet
