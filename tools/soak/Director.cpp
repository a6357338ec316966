#include "Director.h"

#include "CoinServerProcess.h"
#include "Dice.h"
#include "arcade/CoinClient.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "ui/Cutscene.h"
#include "ui/DeathMenu.h"
#include "ui/MainMenu.h"
#include "ui/PauseMenu.h"

namespace {

constexpr int kTick = 20;

// Average gaps, in ticks, between things a person does now and then.
constexpr double kCoinEvery = 400;
constexpr double kPauseEvery = 4500;
constexpr double kJoinEvery = 1500;

template <typename Item>
unsigned indexOf(const Menu& menu) {
    for (unsigned i = 0; i < menu.itemCount(); ++i) {
        if (dynamic_cast<const Item*>(&menu.item(i)) != nullptr) return i;
    }
    return 0;
}

}  // namespace

Director::Director(Game& game, GameInput& input, CoinServerProcess& coins, Dice& dice)
    : game(game), input(input), coins(coins), dice(dice) {}

bool Director::atMainMenu() const { return look() == Screen::MainMenu; }

Director::Screen Director::look() const {
    const Menu* menu = game.getMenu();
    if (game.isAttract()) return Screen::Attract;
    if (Cutscene::instance().isPlaying()) return Screen::Cutscene;
    if (dynamic_cast<const MainMenu*>(menu) != nullptr) return Screen::MainMenu;
    if (dynamic_cast<const PauseMenu*>(menu) != nullptr) return Screen::PauseMenu;
    if (dynamic_cast<const DeathMenu*>(menu) != nullptr) return Screen::DeathMenu;
    if (game.getContinueCountdown() > 0) return Screen::Countdown;
    return Screen::Playing;
}

int Director::anyPlayer() { return dice.between(0, 1); }

GameInput::Device Director::anyDevice() {
    return dice.chance(0.7) ? GameInput::Device::Keyboard : GameInput::Device::Joystick;
}

bool Director::act() {
    const bool arcade = Settings::instance().getInt("arcade") != 0;
    if (arcade && game.getCoinClient()->getCredits() < 2 && dice.chance(1.0 / kCoinEvery)) {
        coins.insertCoin();
    }
    const Screen now = look();
    if (now != screen) {
        screen = now;
        // Now and then the players mash their buttons for a while before anyone decides;
        // not over cutscenes, which the first press would end.
        mashMilliseconds = now != Screen::Playing && now != Screen::Cutscene && dice.chance(0.2)
                               ? dice.between(1000, 10000)
                               : 0;
        plan(now);
    }
    if (mashMilliseconds > 0) {
        mashMilliseconds -= kTick;
        return true;
    }
    if (waitMilliseconds > 0) {
        waitMilliseconds -= kTick;
    } else {
        step(now);
    }
    return look() == Screen::Playing;
}

void Director::plan(Screen now) {
    const int roll = dice.between(0, 99);
    switch (now) {
        case Screen::MainMenu:
            waitMilliseconds = dice.between(500, 3000);
            choice = roll < 45 ? 1 : roll < 90 ? 2 : 3;
            break;
        case Screen::PauseMenu:
            waitMilliseconds = dice.between(300, 3000);
            // -1: Escape, which resumes; 0-2: resume, restart, exit to the main menu.
            choice = leaving ? 2 : roll < 25 ? -1 : roll < 55 ? 0 : roll < 80 ? 1 : 2;
            break;
        case Screen::DeathMenu:
            waitMilliseconds = dice.between(1000, 4000);
            choice = leaving || roll >= 80 ? 1 : 0;
            break;
        case Screen::Cutscene:
            choice = leaving || roll < 55 ? 1 : 0;
            waitMilliseconds = leaving ? 0 : dice.between(300, 5000);
            if (choice == 0) ++counts.cutscenesWatched;
            break;
        case Screen::Attract:
            waitMilliseconds = dice.between(1000, 8000);
            choice = roll < 60 ? 1 : roll < 85 ? 2 : 3;
            break;
        case Screen::Countdown:
            waitMilliseconds = dice.between(500, 8000);
            choice = roll < 50 ? 1 : roll < 75 ? 0 : 2;
            if (choice == 0) ++counts.countdownsExpired;
            break;
        case Screen::Playing:
            waitMilliseconds = 0;
            break;
    }
}

void Director::step(Screen now) {
    switch (now) {
        case Screen::MainMenu: stepMainMenu(); break;
        case Screen::PauseMenu: stepMenu(true); break;
        case Screen::DeathMenu: stepMenu(false); break;
        case Screen::Cutscene: stepCutscene(); break;
        case Screen::Attract: stepAttract(); break;
        case Screen::Countdown: stepCountdown(); break;
        case Screen::Playing: stepPlaying(); break;
    }
}

bool Director::choose(const Menu& menu, unsigned index) {
    const unsigned selected = menu.selectedIndex();
    if (selected != index) {
        const unsigned count = static_cast<unsigned>(menu.itemCount());
        const bool down = (index + count - selected) % count <= count / 2;
        input.press(anyPlayer(), down ? GameInput::Down : GameInput::Up, anyDevice());
        return false;
    }
    if (dice.chance(0.5)) {
        return input.pressKey(GameInput::EnterKey);
    }
    return input.press(anyPlayer(), GameInput::Attack, anyDevice());
}

void Director::stepMainMenu() {
    if (leaving) {
        return;
    }
    const Menu& menu = *game.getMenu();
    const unsigned wanted = choice == 1   ? indexOf<MainMenu::New1PlayerGameItem>(menu)
                            : choice == 2 ? indexOf<MainMenu::New2PlayerGameItem>(menu)
                                          : indexOf<MainMenu::CreditsItem>(menu);
    if (choose(menu, wanted)) {
        ++(choice == 3 ? counts.creditsShown : counts.gamesStarted);
    }
}

void Director::stepMenu(bool pause) {
    if (choice < 0) {
        input.pressKey(GameInput::EscapeKey);
        return;
    }
    // Pause: resume, restart, exit; death: restart, exit.
    const int action = pause ? choice : choice + 1;
    if (choose(*game.getMenu(), static_cast<unsigned>(choice))) {
        if (action == 1) ++counts.restarts;
        if (action == 2) ++counts.exitsToMenu;
    }
}

void Director::stepCutscene() {
    if (choice != 1) {
        return;
    }
    const int how = dice.between(0, 2);
    if (how == 0) {
        input.pressKey(GameInput::EnterKey);
    } else {
        const auto action = static_cast<GameInput::Action>(dice.between(0, GameInput::ActionCount - 1));
        input.press(anyPlayer(), action, how == 1 ? GameInput::Device::Keyboard : GameInput::Device::Joystick);
    }
    ++counts.cutscenesSkipped;
    choice = 0;
}

void Director::stepAttract() {
    if (choice == 3) {
        // A joystick button only restarts the attract show.
        input.press(anyPlayer(), GameInput::Attack, GameInput::Device::Joystick);
        plan(Screen::Attract);
        return;
    }
    if (game.getCoinClient()->getCredits() < 1) {
        coins.insertCoin();
        waitMilliseconds = 200;
        return;
    }
    input.press(choice - 1, GameInput::Start, GameInput::Device::Keyboard);
    if (!game.isAttract()) {
        ++counts.gamesStarted;
    }
}

void Director::stepCountdown() {
    if (choice == 1) {
        if (game.getCoinClient()->getCredits() < 1) {
            coins.insertCoin();
            waitMilliseconds = 200;
        } else if (pressStart(deadOrMissingPlayer()) && game.getContinueCountdown() == 0) {
            ++counts.continues;
        }
    } else if (choice == 2) {
        input.press(anyPlayer(), GameInput::Drop, anyDevice());
        waitMilliseconds = kTick;
        if (game.getContinueCountdown() == 0) ++counts.dropOuts;
    }
}

void Director::stepPlaying() {
    const bool arcade = Settings::instance().getInt("arcade") != 0;
    if (!arcade && (leaving || dice.chance(1.0 / kPauseEvery))) {
        input.pressKey(GameInput::EscapeKey);
        ++counts.pauses;
        return;
    }
    if (arcade && game.getCoinClient()->getCredits() >= 1 && dice.chance(1.0 / kJoinEvery)) {
        const int player = deadOrMissingPlayer();
        if (player >= 0 && pressStart(player)) ++counts.joins;
    }
    // The sound hot key, and Escape where it must do nothing (arcade play).
    if (dice.chance(1.0 / 20000)) input.pressKey(GameInput::F10Key);
    if (arcade && dice.chance(1.0 / 10000)) input.pressKey(GameInput::EscapeKey);
}

bool Director::pressStart(int player) { return player >= 0 && input.press(player, GameInput::Start, anyDevice()); }

int Director::deadOrMissingPlayer() const {
    const Player* players[2] = {game.getPlayer1(), game.getPlayer2()};
    for (int p = 0; p < 2; ++p) {
        if (players[p] == nullptr || players[p]->isDead()) return p;
    }
    return -1;
}
