#include "replay/ReplayViewer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/Game.h"
#include "render/Font.h"
#include "render/OverlayMatrices.h"
#include "render/TextureManager.h"

namespace {

constexpr int kSpace = 32;
constexpr int kStep = '.';
constexpr int kLeft = 356;
constexpr int kUp = 357;
constexpr int kRight = 358;
constexpr int kDown = 359;

// Ticks per frame; below one, a tick every so many frames.
constexpr double kSpeeds[] = {0.25, 0.5, 1.0, 2.0, 4.0, 8.0};
constexpr int kSpeedCount = static_cast<int>(sizeof(kSpeeds) / sizeof(kSpeeds[0]));

// The bar along the bottom of the window, in normalised device coordinates.
constexpr float kBarLeft = -0.9f;
constexpr float kBarRight = 0.9f;
constexpr float kBarBottom = -0.93f;
constexpr float kBarTop = -0.9f;
constexpr float kLetter = 0.05f;

std::string clock(int ticks) {
    const int seconds = ticks / 50;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

void rectangle(float left, float right, float bottom, float top) {
    glBegin(GL_QUADS);
    glVertex3f(left, bottom, 0.0f);
    glVertex3f(right, bottom, 0.0f);
    glVertex3f(right, top, 0.0f);
    glVertex3f(left, top, 0.0f);
    glEnd();
}

}  // namespace

void ReplayViewer::begin() {
    ReplayPlayer::begin();
    if (!isFinished()) keep();
}

double ReplayViewer::speed() const { return kSpeeds[speedStep]; }

void ReplayViewer::liveKey(int key, bool down) {
    if (isFinished() || !down) {
        ReplayPlayer::liveKey(key, down);
        return;
    }
    switch (key) {
        case kSpace:
            paused = !paused;
            stepWanted = false;
            break;
        case kStep:
            stepWanted = paused;
            break;
        case kRight:
            jumpTo(ticksPlayed() + JumpTicks);
            break;
        case kLeft:
            jumpTo(ticksPlayed() - JumpTicks);
            break;
        case kUp:
            speedStep = std::min(speedStep + 1, kSpeedCount - 1);
            break;
        case kDown:
            speedStep = std::max(speedStep - 1, 0);
            break;
        default:
            ReplayPlayer::liveKey(key, down);
            break;
    }
}

int ReplayViewer::ticksThisFrame() {
    if (isFinished()) return 1;
    if (paused) {
        const bool step = stepWanted;
        stepWanted = false;
        return step ? 1 : 0;
    }
    const double ticks = speed();
    if (ticks >= 1.0) return static_cast<int>(ticks);
    const int every = static_cast<int>(1.0 / ticks);
    return frames++ % every == 0 ? 1 : 0;
}

void ReplayViewer::tickEnded() {
    ReplayPlayer::tickEnded();
    if (!isFinished() && ticksPlayed() % bookmarkTicks == 0 && bookmarks.count(ticksPlayed()) == 0) keep();
}

void ReplayViewer::keep() {
    bookmarks.emplace(ticksPlayed(), mark());
    if (static_cast<int>(bookmarks.size()) <= MostBookmarks) return;
    // Twice as far apart from here on, the start always kept.
    bookmarkTicks *= 2;
    for (auto it = bookmarks.begin(); it != bookmarks.end();) {
        it = it->first % bookmarkTicks != 0 ? bookmarks.erase(it) : std::next(it);
    }
}

void ReplayViewer::jumpTo(int tick) {
    // A game that went back to the menu did so in the tick after its last one counted.
    const int target = std::clamp(tick, 0, lastTick() + 1);
    if (target < ticksPlayed()) {
        auto nearest = bookmarks.upper_bound(target);
        if (nearest == bookmarks.begin()) return;
        returnTo(std::prev(nearest)->second);
    }
    Game& game = Game::instance();
    while (!isFinished() && ticksPlayed() < target) game.update(20);
}

void ReplayViewer::drawOverlay() const {
    if (isFinished()) return;
    const OverlayMatrices overlay;
    glDisable(GL_DEPTH_TEST);
    TextureManager::instance().unbind();
    const float done = lastTick() > 0 ? std::min(1.0f, static_cast<float>(ticksPlayed()) / lastTick()) : 1.0f;
    const float position = kBarLeft + (kBarRight - kBarLeft) * done;
    glColor4d(1.0, 1.0, 1.0, 0.75);
    rectangle(kBarLeft - 0.01f, kBarRight + 0.01f, kBarBottom - 0.015f, kBarTop + kLetter + 0.03f);
    glColor4d(0.55, 0.6, 0.75, 1.0);
    rectangle(kBarLeft, kBarRight, kBarBottom, kBarTop);
    glColor4d(0.1, 0.15, 0.45, 1.0);
    rectangle(kBarLeft, position, kBarBottom, kBarTop);
    rectangle(position - 0.006f, position + 0.006f, kBarBottom - 0.01f, kBarTop + 0.01f);

    std::string text = clock(ticksPlayed()) + " / " + clock(lastTick());
    if (paused) {
        text += "   paused";
    } else if (speed() != 1.0) {
        text += speed() < 1.0 ? "   1/" + std::to_string(static_cast<int>(1.0 / speed())) + "x"
                              : "   " + std::to_string(static_cast<int>(speed())) + "x";
    }
    glColor4d(1.0, 1.0, 1.0, 1.0);
    Font::drawText(kBarLeft, kBarTop + 0.01f, text, kLetter);
    TextureManager::instance().unbind();
    glEnable(GL_DEPTH_TEST);
}
