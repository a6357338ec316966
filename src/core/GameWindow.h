#pragma once

#include <chrono>

#include "render/SwapControl.h"

// The game's one window: opened as a window, as a full-screen window at the desktop's
// size, or in a screen mode of a set size; switched between window and full screen by
// F11 and Alt+Enter at any time; given the sizes of F5 to F8. The main loop hands it the
// GLUT events that concern it.
class GameWindow {
public:
    // Opens the window of `width` x `height` (the screen mode's size when `sizeGiven` and
    // `fullscreen`), makes its GL context current and asks for swaps on the display's
    // refresh when `vsync`. `registerCallbacks` runs for every window GLUT opens.
    GameWindow(int width, int height, bool fullscreen, bool sizeGiven, bool vsync, void (*registerCallbacks)());
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;

    // What the driver gave for buffer swaps when the window opened.
    const SwapControl& swapControl() const { return swaps; }

    // Between window and full screen; a set screen mode is left for the window.
    void toggleFullScreen();
    // A window of this size, leaving full screen for it.
    void resize(int width, int height);
    // As the options menu asks: full screen on or off, and the window's size, which while
    // full screen waits for the window to come back.
    void setFullScreen(bool on);
    void setWindowedSize(int width, int height);
    // Alt+Enter switches: true when this key press did, and its release is then kept from
    // the game as well.
    bool switchesOnKeyDown(unsigned char key, int modifiers);
    bool swallowsKeyUp(unsigned char key);
    // GLUT reported a new size; another turn of GLUT's loop began.
    void sizeReported();
    void loopTurned();

private:
    bool isFullScreen() const;
    void resizeIfDue(bool oldSizeBack);

    int window = 0;
    bool gameMode = false;
    bool vsync = false;
    SwapControl swaps{false};
    bool enterDownSwitched = false;
    // A size asked for while full screen, asked for again once the old size is back.
    int pendingWidth = 0;
    int pendingHeight = 0;
    std::chrono::steady_clock::time_point pendingSince;
};
