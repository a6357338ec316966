#include "core/GameWindow.h"

#include <GL/freeglut.h>

#include <iostream>

#include "core/MainLoop.h"

namespace {

// How long a size asked for in full screen waits for the old size to be reported back.
constexpr std::chrono::milliseconds kResizeWait{300};

bool isEnter(unsigned char key) { return key == '\r' || key == '\n'; }

}  // namespace

// A set size asks for that screen mode, which shares the window's GL context, so leaving
// it returns to the window with every texture still loaded; without a size, full screen
// is a window covering the desktop at the desktop's own size.
GameWindow::GameWindow(int width, int height, bool fullscreen, bool sizeGiven, bool swapOnRefresh,
                       void (*registerCallbacks)())
    : vsync(swapOnRefresh) {
    glutInitWindowSize(width, height);
    window = glutCreateWindow("Margin Brawler");
    registerCallbacks();
    if (fullscreen && sizeGiven) {
        glutSetOption(GLUT_RENDERING_CONTEXT, GLUT_USE_CURRENT_CONTEXT);
        glutGameModeString(MainLoop::gameModeString(width, height).c_str());
        if (glutGameModeGet(GLUT_GAME_MODE_POSSIBLE) && glutEnterGameMode() != 0 &&
            glutGameModeGet(GLUT_GAME_MODE_ACTIVE)) {
            gameMode = true;
            registerCallbacks();
            // The window waits, hidden, for F11 or Alt+Enter to leave the screen mode.
            const int gameModeWindow = glutGetWindow();
            glutSetWindow(window);
            glutHideWindow();
            glutSetWindow(gameModeWindow);
        } else {
            // Without the mode the game still fills the screen, in a full-screen window.
            std::cout << "Full-screen mode " << width << "x" << height
                      << " is not available; using a full-screen window.\n";
            glutSetWindow(window);
        }
    }
    if (fullscreen && !gameMode) {
        glutFullScreen();
    }
    swaps = SwapControl(vsync);
}

bool GameWindow::isFullScreen() const { return gameMode || glutGet(GLUT_FULL_SCREEN) != 0; }

void GameWindow::setFullScreen(bool on) {
    if (isFullScreen() != on) {
        toggleFullScreen();
    }
}

void GameWindow::setWindowedSize(int width, int height) {
    if (!isFullScreen()) {
        glutReshapeWindow(width, height);
        return;
    }
    pendingWidth = width;
    pendingHeight = height;
}

void GameWindow::toggleFullScreen() {
    // A size asked for while full screen is asked for again once the window is back.
    pendingSince = std::chrono::steady_clock::now();
    if (!gameMode) {
        glutFullScreenToggle();
        return;
    }
    glutLeaveGameMode();
    gameMode = false;
    glutSetWindow(window);
    glutShowWindow();
    // The swap interval belongs to each drawable: the window gets the choice again.
    swaps = SwapControl(vsync);
}

void GameWindow::resize(int width, int height) {
    if (glutGet(GLUT_FULL_SCREEN) == 0) {
        glutReshapeWindow(width, height);
        return;
    }
    glutLeaveFullScreen();
    pendingWidth = width;
    pendingHeight = height;
    pendingSince = std::chrono::steady_clock::now();
}

bool GameWindow::switchesOnKeyDown(unsigned char key, int modifiers) {
    if (!isEnter(key) || (modifiers & GLUT_ACTIVE_ALT) == 0) {
        return false;
    }
    toggleFullScreen();
    enterDownSwitched = true;
    return true;
}

bool GameWindow::swallowsKeyUp(unsigned char key) {
    if (!isEnter(key) || !enterDownSwitched) {
        return false;
    }
    enterDownSwitched = false;
    return true;
}

void GameWindow::sizeReported() { resizeIfDue(true); }

void GameWindow::loopTurned() { resizeIfDue(false); }

// Leaving full screen puts the window's old size back after anything asked for in the
// meantime, so the size asked for is asked for again once the old one is reported (or,
// should that never be reported, a moment later).
void GameWindow::resizeIfDue(bool oldSizeBack) {
    if (pendingWidth <= 0 || glutGet(GLUT_FULL_SCREEN) != 0) {
        return;
    }
    if (!oldSizeBack && std::chrono::steady_clock::now() - pendingSince < kResizeWait) {
        return;
    }
    glutReshapeWindow(pendingWidth, pendingHeight);
    pendingWidth = 0;
    pendingHeight = 0;
}
