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
#include "core/GameWindow.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "input/InputDevices.h"
#include "replay/ReplaySession.h"

namespace {

// Settings read as the window opens: "vsync" 1 asks for buffer swaps on the
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

// Built once the window exists; the callbacks reach it from here.
std::unique_ptr<GameWindow>& gameWindow() {
    static std::unique_ptr<GameWindow> window;
    return window;
}

void onReshape(int width, int height) {
    Game::instance().reshape(width, height);
    gameWindow()->sizeReported();
}

// GLUT asks for a frame when the window was uncovered or resized.
void onDisplay() {
    if (frameLoop()) {
        frameLoop()->drawFrame();
    }
}

void onTimer(int) {
    gameWindow()->loopTurned();
    FrameLoop& loop = *frameLoop();
    loop.wake();
    glutTimerFunc(static_cast<unsigned>(loop.millisecondsToNext()), onTimer, 0);
}

void onKeyDown(unsigned char key, int, int) {
    if (!gameWindow()->switchesOnKeyDown(key, glutGetModifiers())) {
        InputSeam::instance().key(key, true);
    }
}

void onKeyUp(unsigned char key, int, int) {
    if (!gameWindow()->swallowsKeyUp(key)) {
        InputSeam::instance().key(key, false);
    }
}

void resizeForHotKey(int key) {
    GameWindow& window = *gameWindow();
    switch (key) {
        case GLUT_KEY_F5: window.resize(640, 480); break;
        case GLUT_KEY_F6: window.resize(800, 600); break;
        case GLUT_KEY_F7: window.resize(1024, 768); break;
        case GLUT_KEY_F8: window.resize(1280, 1024); break;
        case GLUT_KEY_F11: window.toggleFullScreen(); break;
        default: break;
    }
}

void onSpecialDown(int key, int, int) {
    resizeForHotKey(key);
    InputSeam::instance().key(256 + key, true);
}

void onSpecialUp(int key, int, int) { InputSeam::instance().key(256 + key, false); }

// Callbacks belong to a window: a screen mode's window needs its own set.
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

}  // namespace

std::string MainLoop::gameModeString(int width, int height) {
    char mode[64];
    std::snprintf(mode, sizeof mode, "%dx%d:32", width, height);
    return mode;
}

void MainLoop::setFullScreen(bool on) {
    if (gameWindow()) {
        gameWindow()->setFullScreen(on);
    }
}

void MainLoop::setWindowSize(int width, int height) {
    if (gameWindow()) {
        gameWindow()->setWindowedSize(width, height);
    }
}

void MainLoop::desktopSize(int& width, int& height) {
    const bool open = gameWindow() != nullptr;
    width = open ? glutGet(GLUT_SCREEN_WIDTH) : 0;
    height = open ? glutGet(GLUT_SCREEN_HEIGHT) : 0;
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

    const ConfigLocations locations = ConfigLocations::forThisProcess();
    std::cout << locations.announcement() << "\n";
    const std::string dataDirectory = locations.load(settings);
    // Taken before the change into the data directory, which a relative path would miss.
    const std::string bundledConfig = locations.bundledConfigFile();
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
    gameWindow() =
        std::make_unique<GameWindow>(width, height, fullscreen, sizeGiven, vsyncSetting(), registerCallbacks);

    glEnable(GL_NORMALIZE);
    glEnable(GL_DEPTH_TEST);

    Game::instance().usePlayerFiles(bundledConfig, locations.userConfigFile(), ConfigLocations::userStateFolder());
    Game::instance().init();
    ReplaySession::start();

    const SwapControl& swaps = gameWindow()->swapControl();
    FrameLoop::Options options;
    options.interpolate = interpolateSetting();
    options.pacer = FramePacer(swaps.refreshHz(), swaps.swapWaits());
    options.frameDelay = frameDelayHook();
    frameLoop() = std::make_unique<FrameLoop>(Game::instance(), inputDevices(), options);
    glutTimerFunc(0, onTimer, 0);
    glutMainLoop();
    std::exit(0);
}
