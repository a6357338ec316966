#pragma once

#include <string>

// Start-up and the GLUT glue: reads the settings files (ConfigLocations), opens the window, registers the
// callbacks and runs the fixed 20 ms tick for ever.
namespace MainLoop {

// Never returns; the game ends the process itself.
[[noreturn]] void run(int argc, char** argv);

// The game-mode request for a full-screen size at 32 bits per pixel.
std::string gameModeString(int width, int height);

// Window changes asked for from the options menu, at once. Without the game's own
// window (tests, tools) they do nothing.
void setFullScreen(bool on);
// The windowed size; while full screen it is kept for when the window comes back.
void setWindowSize(int width, int height);
// The desktop's size; 0 x 0 without the game's window.
void desktopSize(int& width, int& height);

}  // namespace MainLoop
