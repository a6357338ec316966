#include "GameInput.h"

#include <string>

#include "core/Game.h"
#include "core/Settings.h"
#include "ui/MainMenu.h"

namespace {

const char* const kKeyNames[] = {"Left", "Right", "Up", "Down", "Attack", "PickUp", "Drop", "Start"};
const char* const kButtonNames[] = {"ButtonLeft",   "ButtonRight",  "ButtonUp",   "ButtonDown",
                                    "ButtonAttack", "ButtonPickUp", "ButtonDrop", "Start"};

}  // namespace

GameInput::GameInput(Game& game) : game(game) {
    Settings& settings = Settings::instance();
    quitKey = settings.getInt("escape");
    for (int p = 0; p < 2; ++p) {
        const std::string player = "player" + std::to_string(p + 1);
        const std::string stick = "joystickPlayer" + std::to_string(p + 1);
        for (int a = 0; a < ActionCount; ++a) {
            keys[p][a] = settings.getInt(player + kKeyNames[a]);
            buttons[p][a] = settings.getInt(stick + kButtonNames[a]);
        }
        joystick[p] = settings.getInt(stick);
        xAxis[p] = settings.getInt(stick + "xAxis");
        yAxis[p] = settings.getInt(stick + "yAxis");
        // The game inverts flipped axes; inverting here too makes a deflection mean
        // the same direction on every configuration.
        xFlip[p] = settings.getInt(stick + "xAxisFlip") != 0 ? -1.0 : 1.0;
        yFlip[p] = settings.getInt(stick + "yAxisFlip") != 0 ? -1.0 : 1.0;
    }
}

bool GameInput::activationQuits() const {
    const auto* mainMenu = dynamic_cast<const MainMenu*>(game.getMenu());
    return mainMenu != nullptr &&
           dynamic_cast<const MainMenu::QuitItem*>(&mainMenu->item(mainMenu->selectedIndex())) != nullptr;
}

bool GameInput::wouldQuit(int player, Action action) const {
    if (game.isAttract() && keys[player][action] == quitKey) {
        return true;
    }
    return action == Attack && activationQuits();
}

bool GameInput::wouldQuit(int key) const {
    for (int p = 0; p < 2; ++p) {
        for (int a = 0; a < ActionCount; ++a) {
            if (keys[p][a] == key) {
                return wouldQuit(p, static_cast<Action>(a));
            }
        }
    }
    if (game.isAttract() && key == quitKey) {
        return true;
    }
    if (dynamic_cast<const MainMenu*>(game.getMenu()) == nullptr) {
        return false;
    }
    return key == EscapeKey || ((key == 10 || key == EnterKey || key == 32) && activationQuits());
}

void GameInput::hold(int player, Action action, bool down, Device device) {
    if (down && wouldQuit(player, action)) {
        return;
    }
    if (device == Device::Keyboard) {
        game.keyboard(keys[player][action], 0, down, 0);
    } else {
        game.joystickButton(joystick[player], buttons[player][action], down);
    }
}

bool GameInput::press(int player, Action action, Device device) {
    if (wouldQuit(player, action)) {
        return false;
    }
    hold(player, action, true, device);
    hold(player, action, false, device);
    return true;
}

bool GameInput::pressKey(int key) {
    if (wouldQuit(key)) {
        return false;
    }
    game.keyboard(key, 0, true, 0);
    game.keyboard(key, 0, false, 0);
    return true;
}

void GameInput::deflect(int player, double horizontal, double depth) {
    game.joystickAxis(joystick[player], xAxis[player], horizontal * xFlip[player]);
    game.joystickAxis(joystick[player], yAxis[player], depth * yFlip[player]);
}
