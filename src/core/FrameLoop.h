#pragma once

#include <chrono>

#include "core/FramePacer.h"
#include "core/PaceReport.h"
#include "core/TickClock.h"

class Game;
class InputDevices;

// The main loop's clockwork, run from GLUT's callbacks on the main thread: at every wake
// it runs the ticks that are due (the input devices polled before each), then draws a
// frame if one is due, and says when to wake next. Ticks keep to the clock whatever the
// frames cost; frames follow the display. A frame between two ticks is drawn only when it
// can differ from the last one (the world moved in the latest tick and frames blend), so
// a menu costs no more frames than ticks.
class FrameLoop {
public:
    struct Options {
        // Frames blend the last two ticks; off, each frame shows the latest tick as it is.
        bool interpolate = true;
        FramePacer pacer{0.0, false};
        // Test hook: a sleep in every frame, standing in for a machine that draws slowly.
        std::chrono::milliseconds frameDelay{0};
    };

    FrameLoop(Game& game, InputDevices& devices, const Options& options);

    // Due ticks, then a due frame.
    void wake();
    // A frame now, due or not (the window was uncovered or resized).
    void drawFrame();
    // How long until a tick or a frame is due, in whole milliseconds (rounded up).
    int millisecondsToNext() const;

private:
    // The game's ticks for one of the clock's; false when the game held one back.
    bool runGameTicks();
    // A frame now could differ from the last one.
    bool frameWanted() const;

    Game& game;
    InputDevices& devices;
    Options options;
    TickClock clock;
    PaceReport report;
    // The game was asked for a tick since the last frame: its picture may have changed.
    bool ticksSinceFrame = true;
};
