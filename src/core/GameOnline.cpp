// The Game's side of online co-op: starting the session from the main menu, the waiting
// screen, starting the level once both sides agree, and the return to the menu when the
// session ends.
#include <GL/gl.h>

#include <iostream>
#include <limits>
#include <string>

#include "core/Game.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "net/OnlineSession.h"
#include "net/PeerText.h"
#include "render/Font.h"
#include "render/OverlayMatrices.h"
#include "render/TextureManager.h"
#include "ui/Cutscene.h"

namespace {

constexpr IntLimits kPortLimits{1, 65535};
constexpr IntLimits kDelayLimits{1, 30};
constexpr IntLimits kRollbackLimits{0, 30};
constexpr int kDefaultPort = 7788;
// Lockstep hides the round trip behind the delay; rollback hides it behind its guesses
// and keeps only a tick, so a key works at once.
constexpr int kDefaultLockstepDelay = 3;
constexpr int kDefaultRollbackDelay = 1;
constexpr int kDefaultRollback = 8;

struct OnlineSetup {
    bool on = false;
    OnlineSession::Options options;
};

// Absent or 0 port and delay take their defaults, as an absent window size does; an
// absent rollback depth takes its default, and 0 is lockstep.
OnlineSetup readOnlineSetup() {
    Settings& settings = Settings::instance();
    OnlineSetup read;
    read.on = settings.getInt("online") != 0;
    read.options.host = settings.getString("onlineHost");
    read.options.port =
        settings.getInt("onlinePort") == 0 ? kDefaultPort : settings.getIntWithin("onlinePort", kPortLimits);
    constexpr int32_t absent = std::numeric_limits<int32_t>::min();
    read.options.rollback = settings.getIntOr("onlineRollback", absent) == absent
                                ? kDefaultRollback
                                : settings.getIntWithin("onlineRollback", kRollbackLimits);
    const int defaultDelay = read.options.rollback > 0 ? kDefaultRollbackDelay : kDefaultLockstepDelay;
    read.options.delay =
        settings.getInt("onlineDelay") == 0 ? defaultDelay : settings.getIntWithin("onlineDelay", kDelayLimits);
    return read;
}

// Long enough to read a line twice.
constexpr int kMenuNoteMilliseconds = 6000;
// A longer note would shrink below reading size on one line; the console has it whole.
constexpr std::size_t kMostMenuNoteBytes = 100;

constexpr float kLineWidth = 1.8f;
constexpr float kLargestLetter = 0.11f;
constexpr float kFigureLetter = 0.06f;
// Below the loading picture's own word and pencil, and below the fighters' heads.
constexpr float kNoticeBottom = -0.7f;
// Under the menu's last entry.
constexpr float kMenuNoteBottom = -0.97f;
constexpr float kMenuNoteLetter = 0.075f;

// A pale band behind a line, so it reads over a busy picture.
void bandBehind(float bottom, float height) {
    TextureManager::instance().unbind();
    glColor4d(1.0, 1.0, 1.0, 0.75);
    glBegin(GL_QUADS);
    glVertex3d(-1.0, bottom - height * 0.3, 0.0);
    glVertex3d(1.0, bottom - height * 0.3, 0.0);
    glVertex3d(1.0, bottom + height * 1.3, 0.0);
    glVertex3d(-1.0, bottom + height * 1.3, 0.0);
    glEnd();
    glColor4d(1.0, 1.0, 1.0, 1.0);
}

void centredLine(const std::string& text, float bottom, float largest = kLargestLetter) {
    const float size = Font::sizeToFit(text, kLineWidth, largest);
    bandBehind(bottom, size);
    Font::drawText(-Font::textWidth(text, size) / 2.0f, bottom, text, size);
}

}  // namespace

bool Game::startOnlineGame() {
    const OnlineSetup settings = readOnlineSetup();
    if (!settings.on || isArcade() || online) {
        return false;
    }
    menuNote.clear();
    onlinePlayer = settings.options.host.empty() ? 0 : 1;
    online = std::make_unique<OnlineSession>(settings.options);
    closeMenu();
    setBackground("loading");
    if (online->phase() == OnlineSession::Phase::Ended) {
        settleOnline(0);  // no socket to be had: back to the menu at once, saying why
        return true;
    }
    std::cout << (settings.options.host.empty() ? "Waiting for the other player on port "
                                                : "Joining " + settings.options.host + " on port ")
              << settings.options.port << ".\n";
    return true;
}

bool Game::isWaitingForPeer() const {
    return online && InputSeam::instance().getReplacement() != online.get();
}

void Game::serviceOnline() {
    if (!online) {
        return;
    }
    online->service();
    if (isWaitingForPeer() && online->phase() == OnlineSession::Phase::Starting) {
        InputSeam::instance().setReplacement(online.get());
        clearBackground();
        closeMenu();
        // Both machines begin from nothing held, whatever was pressed to get here.
        restoreControls(ControlState{});
        startGame(true, true, online->levelFile());
    }
}

void Game::settleOnline(int milliseconds) {
    if (menuNoteMilliseconds > 0) {
        menuNoteMilliseconds -= milliseconds;
        if (menuNoteMilliseconds <= 0) {
            menuNote.clear();
        }
    }
    if (!online) {
        return;
    }
    InputSeam& seam = InputSeam::instance();
    const bool attached = seam.getReplacement() == online.get();
    // A game that went back to the menu on its own is over, whatever the session says yet.
    const bool returnedToMenu = attached && !seam.isPlaying();
    if (online->phase() != OnlineSession::Phase::Ended && !returnedToMenu) {
        return;
    }
    const std::string reason = online->endReason();
    // The menu and the note after the game are shown with this player's own settings.
    online->restoreSettings();
    if (seam.isPlaying() || !attached) {
        // A cutscene would hide the menu and the reason; play ends at the seam first
        // (in showMainMenu), so the recorder writes the replay.
        Cutscene::instance().skip();
        showMainMenu();
    }
    if (seam.getReplacement() == online.get()) {
        seam.setReplacement(nullptr);
    }
    online.reset();
    // This machine's settings are back; what its player changed during the game stays.
    playerConfig.reapply();
    if (!reason.empty()) {
        std::cout << reason << "\n";
        showMenuNote(reason);
    }
}

void Game::leaveWaitingScreen() {
    online->giveUp();
    online.reset();
    showMainMenu();
}

void Game::showMenuNote(const std::string& note) {
    menuNote = PeerText::shortened(note, kMostMenuNoteBytes);
    menuNoteMilliseconds = kMenuNoteMilliseconds;
}

void Game::drawOnlineOverlay() const {
    const bool playing = online && !isWaitingForPeer();
    const bool stalled = playing && online->stalledMilliseconds() >= OnlineSession::StallNoticeMilliseconds;
    // A note said during play (progress that could not be saved) shows there too.
    const bool noteShown = !menuNote.empty() && !attract;
    if (!online && !noteShown) {
        return;
    }
    const OverlayMatrices overlay;
    glDisable(GL_DEPTH_TEST);
    glColor4d(1.0, 1.0, 1.0, 1.0);
    if (isWaitingForPeer()) {
        centredLine("Waiting for the other player...", kNoticeBottom);
    }
    if (stalled) {
        centredLine("Waiting for the network... Escape leaves the game.", kNoticeBottom);
    }
    if (playing) {
        // Bottom right: the health bars hold the top, the players walk the middle.
        // Beside it, how often the last second's guesses of the other side were wrong.
        std::string figure = std::to_string(online->roundTripMilliseconds()) + " ms";
        const int rollbacks = online->rollbacksLastSecond();
        if (rollbacks > 0) {
            figure += "  " + std::to_string(rollbacks) + (rollbacks == 1 ? " rollback" : " rollbacks");
        }
        Font::drawText(0.98f - Font::textWidth(figure, kFigureLetter), -0.98f, figure, kFigureLetter);
    }
    if (noteShown) {
        centredLine(menuNote, kMenuNoteBottom, kMenuNoteLetter);
    }
    TextureManager::instance().unbind();
    glEnable(GL_DEPTH_TEST);
}
