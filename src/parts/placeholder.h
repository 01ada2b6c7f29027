#pragma once
// Stand-in for a part that has not landed: waits for the next beat.
int PlaceholderPart();
