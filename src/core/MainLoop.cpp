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

#include "core/ConfigLocations.h"
#include "core/Game.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "input/InputDevices.h"
#include "replay/ReplaySession.h"

namespace {

constexpr int kTickMilliseconds = 20;

// The GLUT side of the window, set once it is open: the options menu may change it.
struct WindowState {
    bool open = false;
    bool gameMode = false;    // game mode cannot be left without losing the GL context
    bool fullScreen = false;
    int width = 640;
    int height = 480;
};

WindowState& windowState() {
    static WindowState state;
    return state;
}

InputDevices& inputDevices() {
    static InputDevices devices;
    return devices;
}

void onReshape(int width, int height) {
    glViewport(0, 0, width, height);
    Game::instance().reshape(width, height);
}

void onDisplay() { Game::instance().draw(); }

// With MARGIN_BRAWLER_TICK_REPORT=N in the environment, prints the real tick period
// measured over the first N ticks: the timer is re-armed after each tick's work, so a
// slow machine shows up here as a period above 20 ms.
void reportTickPeriod() {
    static const long wanted = [] {
        const char* text = std::getenv("MARGIN_BRAWLER_TICK_REPORT");
        return text != nullptr ? std::strtol(text, nullptr, 10) : 0L;
    }();
    static long ticks = 0;
    static std::chrono::steady_clock::time_point start;
    if (wanted <= 0 || ticks > wanted) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (ticks == 0) {
        start = now;
    } else if (ticks == wanted) {
        const double total = std::chrono::duration<double, std::milli>(now - start).count();
        std::cout << "Tick period over " << wanted << " ticks: " << total / wanted << " ms\n" << std::flush;
    }
    ++ticks;
}

// A tick an online game held back is tried again this soon, so input that arrives just
// after a try costs a couple of milliseconds rather than a whole tick.
constexpr int kHeldTickRetryMilliseconds = 2;

// When the next tick is due. Offline the timer is re-armed 20 ms after each tick's work,
// as it always was; online both machines keep to the clock's 20 ms grid instead, since
// the slower of the two sets the pace of both and any drift adds up.
int nextTickDelay(bool ran, std::chrono::steady_clock::time_point now) {
    using std::chrono::milliseconds;
    static std::chrono::steady_clock::time_point due;
    if (!ran) {
        return kHeldTickRetryMilliseconds;
    }
    if (!Game::instance().isOnline()) {
        due = now + milliseconds(kTickMilliseconds);
        return kTickMilliseconds;
    }
    // After a long hold-up the grid starts again from now rather than racing to catch up.
    due = std::max(due + milliseconds(kTickMilliseconds), now);
    return static_cast<int>(std::chrono::duration_cast<milliseconds>(due - now).count());
}

void onTimer(int) {
    static std::chrono::steady_clock::time_point lastRedisplay;
    inputDevices().poll();
    const bool ran = Game::instance().update(kTickMilliseconds);
    const auto now = std::chrono::steady_clock::now();
    // While held back the picture still changes (the network note), but a frame per
    // retry would only burn the time the other side's input needs.
    if (ran || now - lastRedisplay >= std::chrono::milliseconds(kTickMilliseconds)) {
        glutPostRedisplay();
        lastRedisplay = now;
    }
    if (ran) {
        reportTickPeriod();
    }
    glutTimerFunc(nextTickDelay(ran, now), onTimer, 0);
}

void onKeyDown(unsigned char key, int, int) { InputSeam::instance().key(key, true); }

void onKeyUp(unsigned char key, int, int) { InputSeam::instance().key(key, false); }

void resizeForHotKey(int key) {
    switch (key) {
        case GLUT_KEY_F5: glutReshapeWindow(640, 480); break;
        case GLUT_KEY_F6: glutReshapeWindow(800, 600); break;
        case GLUT_KEY_F7: glutReshapeWindow(1024, 768); break;
        case GLUT_KEY_F8: glutReshapeWindow(1280, 1024); break;
        default: break;
    }
}

void onSpecialDown(int key, int, int) {
    resizeForHotKey(key);
    InputSeam::instance().key(256 + key, true);
}

void onSpecialUp(int key, int, int) { InputSeam::instance().key(256 + key, false); }

void openWindow(int width, int height, bool fullscreen) {
    if (fullscreen) {
        glutGameModeString(MainLoop::gameModeString(width, height).c_str());
        if (glutGameModeGet(GLUT_GAME_MODE_POSSIBLE) && glutEnterGameMode() != 0 &&
            glutGameModeGet(GLUT_GAME_MODE_ACTIVE)) {
            windowState().gameMode = true;
            return;
        }
        // Without game mode there would be no window at all: use a full-screen window.
        std::cout << "Full-screen mode " << width << "x" << height
                  << " is not available; using a full-screen window.\n";
    }
    glutInitWindowSize(width, height);
    glutCreateWindow("Margin Brawler");
    if (fullscreen) {
        glutFullScreen();
    }
}

}  // namespace

std::string MainLoop::gameModeString(int width, int height) {
    char mode[64];
    std::snprintf(mode, sizeof mode, "%dx%d:32", width, height);
    return mode;
}

void MainLoop::setFullScreen(bool on) {
    WindowState& window = windowState();
    if (!window.open || on == window.fullScreen) {
        return;
    }
    if (window.gameMode) {
        std::cout << "Leaving full-screen game mode takes a restart of the game.\n";
        return;
    }
    window.fullScreen = on;
    if (on) {
        glutFullScreen();
    } else {
        glutLeaveFullScreen();
        glutReshapeWindow(window.width, window.height);
    }
}

void MainLoop::setWindowSize(int width, int height) {
    WindowState& window = windowState();
    window.width = width;
    window.height = height;
    if (window.open && !window.fullScreen) {
        glutReshapeWindow(width, height);
    }
}

void MainLoop::desktopSize(int& width, int& height) {
    const bool open = windowState().open;
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
    openWindow(width, height, fullscreen);
    windowState() = {true, windowState().gameMode, fullscreen, width, height};

    glEnable(GL_NORMALIZE);
    glEnable(GL_DEPTH_TEST);
    glutIgnoreKeyRepeat(1);
    glutSetCursor(GLUT_CURSOR_NONE);

    glutReshapeFunc(onReshape);
    glutDisplayFunc(onDisplay);
    glutKeyboardFunc(onKeyDown);
    glutKeyboardUpFunc(onKeyUp);
    glutSpecialFunc(onSpecialDown);
    glutSpecialUpFunc(onSpecialUp);
    glutTimerFunc(kTickMilliseconds, onTimer, 0);

    Game::instance().usePlayerFiles(bundledConfig, locations.userConfigFile(), ConfigLocations::userStateFolder());
    Game::instance().init();
    ReplaySession::start();
    glutMainLoop();
    std::exit(0);
}
