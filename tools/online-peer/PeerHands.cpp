#include "PeerHands.h"

#include "Fighter.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "ui/Cutscene.h"
#include "ui/DeathMenu.h"
#include "ui/Menu.h"
#include "ui/PauseMenu.h"

namespace {

constexpr int kEscape = 27;
constexpr int kEnter = 13;
constexpr int kSpace = 32;

// Where "Exit to Main Menu" stands in the pause or the death menu; the last entry in
// any other.
unsigned exitEntry(const Menu& menu) {
    for (std::size_t i = 0; i < menu.itemCount(); ++i) {
        const MenuItem* item = &menu.item(i);
        if (dynamic_cast<const PauseMenu::ExitToMainMenuItem*>(item) != nullptr ||
            dynamic_cast<const DeathMenu::ExitToMainMenuItem*>(item) != nullptr) {
            return static_cast<unsigned>(i);
        }
    }
    return static_cast<unsigned>(menu.itemCount() - 1);
}

}  // namespace

PeerHands::PeerHands(Style handsStyle, int slot, unsigned seed, bool drivesMenus)
    : style(handsStyle), fighter(std::make_unique<Fighter>(slot + 1, false, 1)), random(seed), menuDriver(drivesMenus) {}

PeerHands::~PeerHands() = default;

void PeerHands::act(Game& game, int tick) {
    if (tick == attackTick) keyboard.press(fighter->keys.attack);
    const Menu* menu = game.getMenu();
    if (quitting) {
        keyboard.releaseAll();
        if (menu != nullptr) return driveMenu(game, tick, exitEntry(*menu));
        if (tick - lastMenuPress >= settleTicks) {
            keyboard.press(kEscape);
            lastMenuPress = tick;
        }
        return;
    }
    if (menu != nullptr) {
        keyboard.releaseAll();
        if (menuDriver && dynamic_cast<const DeathMenu*>(menu) != nullptr) driveMenu(game, tick, 0);
        return;
    }
    if (Cutscene::instance().isPlaying()) {
        if (menuDriver && tick - lastMenuPress >= settleTicks) {
            keyboard.press(kSpace);
            lastMenuPress = tick;
        }
        return;
    }
    // Once every player is down the death menu is coming; a press still on its way
    // could pick "Exit" there, so the hands rest until it is up.
    const bool anyoneStanding = (game.getPlayer1() != nullptr && !game.getPlayer1()->isDead()) ||
                                (game.getPlayer2() != nullptr && !game.getPlayer2()->isDead());
    if (!anyoneStanding) return keyboard.releaseAll();
    if (style == Style::Fighter) fighter->act(game, keyboard, tick, false);
    if (style == Style::Random) playAtRandom();
}

void PeerHands::playAtRandom() {
    const PlayerKeys& keys = fighter->keys;
    if (--stretchLeft <= 0) {
        stretchLeft = 10 + static_cast<int>(random() % 40);
        const unsigned way = random() % 10;
        keyboard.hold(keys.right, way < 6);
        keyboard.hold(keys.left, way >= 8);
        const unsigned depth = random() % 3;
        keyboard.hold(keys.up, depth == 1);
        keyboard.hold(keys.down, depth == 2);
    }
    if (chance(0.15)) keyboard.press(keys.attack);
    if (chance(0.02)) keyboard.press(keys.pickUp);
    if (chance(0.01)) keyboard.press(keys.drop);
}

void PeerHands::driveMenu(const Game& game, int tick, unsigned target) {
    // Each press waits until both sides have seen the last one.
    if (tick - lastMenuPress < settleTicks) return;
    lastMenuPress = tick;
    keyboard.press(game.getMenu()->selectedIndex() == target ? kEnter : fighter->keys.down);
}

bool PeerHands::chance(double probability) {
    return std::uniform_real_distribution<double>(0.0, 1.0)(random) < probability;
}
