#include "core/MainLoop.h"

#include <AL/alut.h>
#include <GL/freeglut.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "core/ConfigLocations.h"
#include "core/FrameLoop.h"
#include "core/Game.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "input/InputDevices.h"
#include "render/SwapControl.h"
#include "replay/ReplaySession.h"

namespace {

// Settings read once the window is open: "vsync" 1 asks for buffer swaps on the
// display's refresh, "interpolate" 1 draws frames between ticks blended.
bool vsyncSetting() { return Settings::instance().getInt("vsync") != 0; }
bool interpolateSetting() { return Settings::instance().getInt("interpolate") != 0; }

// Test hook, read once at start-up: MARGIN_BRAWLER_FRAME_DELAY=N sleeps N milliseconds
// in every frame, standing in for a machine that draws slowly.
std::chrono::milliseconds frameDelayHook() {
    const char* text = std::getenv("MARGIN_BRAWLER_FRAME_DELAY");
    const long delay = text != nullptr ? std::strtol(text, nullptr, 10) : 0L;
    return std::chrono::milliseconds(std::clamp(delay, 0L, 10000L));
}

InputDevices& inputDevices() {
    static InputDevices devices;
    return devices;
}

// Built once the window and the game exist; the callbacks reach it from here.
std::unique_ptr<FrameLoop>& frameLoop() {
    static std::unique_ptr<FrameLoop> loop;
    return loop;
}

// The window the game opened, whether the game-mode screen stands in for it, and a size
// asked for while the window was full screen (0 when none) with the time it was asked.
struct Windows {
    int window = 0;
    bool gameMode = false;
    int pendingWidth = 0;
    int pendingHeight = 0;
    std::chrono::steady_clock::time_point pendingSince;
};

Windows& windows() {
    static Windows opened;
    return opened;
}

// Leaving full screen puts the window's old size back, after anything asked for in the
// meantime; a size asked for in full screen is asked for again once the old one is back
// (or, should that never be reported, a moment later).
void resizeLater(bool oldSizeBack) {
    Windows& opened = windows();
    const bool waitedLongEnough =
        std::chrono::steady_clock::now() - opened.pendingSince > std::chrono::milliseconds(300);
    if (opened.pendingWidth > 0 && glutGet(GLUT_FULL_SCREEN) == 0 && (oldSizeBack || waitedLongEnough)) {
        glutReshapeWindow(opened.pendingWidth, opened.pendingHeight);
        opened.pendingWidth = 0;
        opened.pendingHeight = 0;
    }
}

void onReshape(int width, int height) {
    Game::instance().reshape(width, height);
    resizeLater(true);
}

// GLUT asks for a frame when the window was uncovered or resized.
void onDisplay() {
    if (frameLoop()) {
        frameLoop()->drawFrame();
    }
}

void onTimer(int) {
    resizeLater(false);
    FrameLoop& loop = *frameLoop();
    loop.wake();
    glutTimerFunc(static_cast<unsigned>(loop.millisecondsToNext()), onTimer, 0);
}

// F11 and Alt+Enter: a full-screen window at the desktop's size and back. The game-mode
// screen of a set width and height ("fullscreen 1" with both) shares the window's GL
// context, so leaving it returns to the window with every texture still loaded.
void toggleFullScreen() {
    Windows& opened = windows();
    if (opened.gameMode) {
        glutLeaveGameMode();
        opened.gameMode = false;
        glutSetWindow(opened.window);
        glutShowWindow();
        // The swap interval belongs to each drawable: the window gets the choice again.
        const SwapControl swaps(vsyncSetting());
        return;
    }
    glutFullScreenToggle();
}

void onKeyDown(unsigned char key, int, int) {
    if ((key == '\r' || key == '\n') && (glutGetModifiers() & GLUT_ACTIVE_ALT) != 0) {
        toggleFullScreen();
        return;
    }
    InputSeam::instance().key(key, true);
}

void onKeyUp(unsigned char key, int, int) { InputSeam::instance().key(key, false); }

void resize(int width, int height) {
    if (glutGet(GLUT_FULL_SCREEN) != 0) {
        glutLeaveFullScreen();
        windows().pendingWidth = width;
        windows().pendingHeight = height;
        windows().pendingSince = std::chrono::steady_clock::now();
        return;
    }
    glutReshapeWindow(width, height);
}

void resizeForHotKey(int key) {
    switch (key) {
        case GLUT_KEY_F5: resize(640, 480); break;
        case GLUT_KEY_F6: resize(800, 600); break;
        case GLUT_KEY_F7: resize(1024, 768); break;
        case GLUT_KEY_F8: resize(1280, 1024); break;
        case GLUT_KEY_F11: toggleFullScreen(); break;
        default: break;
    }
}

void onSpecialDown(int key, int, int) {
    resizeForHotKey(key);
    InputSeam::instance().key(256 + key, true);
}

void onSpecialUp(int key, int, int) { InputSeam::instance().key(256 + key, false); }

// Callbacks belong to a window: the game-mode screen needs its own set.
void registerCallbacks() {
    glutReshapeFunc(onReshape);
    glutDisplayFunc(onDisplay);
    glutKeyboardFunc(onKeyDown);
    glutKeyboardUpFunc(onKeyUp);
    glutSpecialFunc(onSpecialDown);
    glutSpecialUpFunc(onSpecialUp);
    glutIgnoreKeyRepeat(1);
    glutSetCursor(GLUT_CURSOR_NONE);
}

// A set size asks for that screen mode; without one, full screen is a window covering
// the desktop at the desktop's own size.
void openWindow(int width, int height, bool fullscreen, bool sizeGiven) {
    Windows& opened = windows();
    glutInitWindowSize(width, height);
    opened.window = glutCreateWindow("Margin Brawler");
    registerCallbacks();
    if (!fullscreen) {
        return;
    }
    if (sizeGiven) {
        glutSetOption(GLUT_RENDERING_CONTEXT, GLUT_USE_CURRENT_CONTEXT);
        glutGameModeString(MainLoop::gameModeString(width, height).c_str());
        if (glutGameModeGet(GLUT_GAME_MODE_POSSIBLE) && glutEnterGameMode() != 0 &&
            glutGameModeGet(GLUT_GAME_MODE_ACTIVE)) {
            opened.gameMode = true;
            registerCallbacks();
            // The window waits, hidden, for F11 or Alt+Enter to leave the screen mode.
            const int gameModeWindow = glutGetWindow();
            glutSetWindow(opened.window);
            glutHideWindow();
            glutSetWindow(gameModeWindow);
            return;
        }
        // Without the mode the game still fills the screen, in a full-screen window.
        std::cout << "Full-screen mode " << width << "x" << height
                  << " is not available; using a full-screen window.\n";
        glutSetWindow(opened.window);
    }
    glutFullScreen();
}

}  // namespace

std::string MainLoop::gameModeString(int width, int height) {
    char mode[64];
    std::snprintf(mode, sizeof mode, "%dx%d:32", width, height);
    return mode;
}

void MainLoop::run(int argc, char** argv) {
    // Mesa's software renderer frees and re-grows large buffers around every display
    // list it runs; letting glibc hand that memory back to the system each time costs
    // several times the drawing itself.
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    // Diagnostics go to the console line by line, even when it is a log file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Settings& settings = Settings::instance();
    glutInit(&argc, argv);
    alutInitWithoutContext(&argc, argv);

    const std::string dataDirectory = ConfigLocations::forThisProcess().load(settings);
    ReplaySession::prepare(dataDirectory);
    int width = settings.getIntWithin("width", limits::windowSide);
    int height = settings.getIntWithin("height", limits::windowSide);
    const bool sizeGiven = width != 0 && height != 0;
    if (width == 0) {
        width = 640;
    }
    if (height == 0) {
        height = 480;
    }
    const bool fullscreen = settings.getInt("fullscreen") != 0;

    if (dataDirectory.empty() || chdir(dataDirectory.c_str()) != 0) {
        std::cerr << "Failed to change into the data directory.\n";
    }

    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    openWindow(width, height, fullscreen, sizeGiven);

    glEnable(GL_NORMALIZE);
    glEnable(GL_DEPTH_TEST);

    Game::instance().init();
    ReplaySession::start();

    const SwapControl swaps(vsyncSetting());
    FrameLoop::Options options;
    options.interpolate = interpolateSetting();
    options.pacer = FramePacer(swaps.refreshHz(), swaps.swapWaits());
    options.frameDelay = frameDelayHook();
    frameLoop() = std::make_unique<FrameLoop>(Game::instance(), inputDevices(), options);
    glutTimerFunc(0, onTimer, 0);
    glutMainLoop();
    std::exit(0);
}
