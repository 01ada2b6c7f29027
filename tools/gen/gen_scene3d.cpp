#include "gen/generators.h"

bool write3dScene(const std::string&) { return true; }  // not written yet
