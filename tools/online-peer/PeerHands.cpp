#include "PeerHands.h"

#include "characters/Player.h"
#include "core/Game.h"
#include "core/InputSeam.h"
#include "ui/DeathMenu.h"
#include "ui/Menu.h"

namespace {

constexpr int kEscape = 27;
constexpr int kEnter = 13;

}  // namespace

PeerHands::PeerHands(const Keys& playerKeys, unsigned seed, bool withInput, bool drivesMenus, int settle)
    : keys(playerKeys), random(seed), playing(withInput), menuDriver(drivesMenus), settleTicks(settle) {}

void PeerHands::act(const Game& game, int tick) {
    // A tap is a press this tick and a release the next.
    for (const int key : tapped) InputSeam::instance().key(key, false);
    tapped.clear();
    const Menu* menu = game.getMenu();
    if (quitting) {
        releaseAll();
        // Exit is the last entry of both the pause and the death menu.
        if (menu != nullptr) return driveMenu(game, tick, static_cast<unsigned>(menu->itemCount() - 1));
        if (tick - lastMenuPress >= settleTicks) {
            tap(kEscape);
            lastMenuPress = tick;
        }
        return;
    }
    if (menu != nullptr) {
        releaseAll();
        if (menuDriver && dynamic_cast<const DeathMenu*>(menu) != nullptr) driveMenu(game, tick, 0);
        return;
    }
    // Once every player is down the death menu is coming; a press still on its way
    // could pick "Exit" there, so the hands rest until it is up.
    const bool anyoneStanding = (game.getPlayer1() != nullptr && !game.getPlayer1()->isDead()) ||
                                (game.getPlayer2() != nullptr && !game.getPlayer2()->isDead());
    if (!anyoneStanding) return releaseAll();
    if (playing) play();
}

void PeerHands::play() {
    if (--stretchLeft <= 0) {
        stretchLeft = 10 + static_cast<int>(random() % 40);
        const unsigned way = random() % 10;
        hold(keys.right, way < 6);
        hold(keys.left, way >= 8);
        const unsigned depth = random() % 3;
        hold(keys.up, depth == 1);
        hold(keys.down, depth == 2);
    }
    if (chance(0.15)) tap(keys.attack);
    if (chance(0.02)) tap(keys.pickUp);
    if (chance(0.01)) tap(keys.drop);
}

void PeerHands::driveMenu(const Game& game, int tick, unsigned target) {
    // Each press waits until both sides have seen the last one.
    if (tick - lastMenuPress < settleTicks) return;
    lastMenuPress = tick;
    const unsigned selected = game.getMenu()->selectedIndex();
    tap(selected == target ? kEnter : keys.down);
}

void PeerHands::hold(int key, bool down) {
    if (key == 0 || (held.count(key) != 0) == down) return;
    if (down) {
        held.insert(key);
    } else {
        held.erase(key);
    }
    InputSeam::instance().key(key, down);
}

void PeerHands::tap(int key) {
    if (key == 0 || held.count(key) != 0 || tapped.count(key) != 0) return;
    InputSeam::instance().key(key, true);
    tapped.insert(key);
}

void PeerHands::releaseAll() {
    while (!held.empty()) hold(*held.begin(), false);
}

bool PeerHands::chance(double probability) {
    return std::uniform_real_distribution<double>(0.0, 1.0)(random) < probability;
}
