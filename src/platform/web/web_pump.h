// The browser build has no thread for the music: the module player's
// backend registers a pump here, and the console backend runs it after each
// present and each key poll, when the page has had its turn.
#pragma once

namespace webpump {

void setPump(void (*pump)());  // null: no pump
void run();

}  // namespace webpump
