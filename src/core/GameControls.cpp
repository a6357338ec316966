// The Game's input side: 16 logical controls fed by keys, joystick and pad buttons,
// the analogue sticks, and what a press does at once.
#include <array>
#include <iostream>
#include <string>

#include "arcade/CoinClient.h"
#include "audio/SoundManager.h"
#include "characters/Player.h"
#include "core/ControlNames.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "core/SettingsCache.h"
#include "input/PadLayout.h"
#include "render/CreditsHUD.h"
#include "render/HealthBar.h"
#include "ui/Cutscene.h"
#include "ui/Menu.h"

namespace {

enum Control {
    Left = 0,
    Right = 1,
    Up = 2,
    Down = 3,
    Attack = 4,
    PickUp = 5,
    Drop = 6,
    Start = 7,
    Player2 = 8,  // player 2's controls are player 1's plus this
};

// F1 opens the controls page from any menu.
constexpr int kControlsPageKey = 256 + 1;

struct JoystickMapping {
    int joystick[2];
    int xAxis[2];
    int yAxis[2];
    double xFlip[2];
    double yFlip[2];
};

const JoystickMapping& joystickMapping() {
    static SettingsCache<JoystickMapping> mapping([] {
        Settings& settings = Settings::instance();
        JoystickMapping m{};
        for (int p = 0; p < 2; ++p) {
            const std::string prefix = "joystickPlayer" + std::to_string(p + 1);
            m.joystick[p] = settings.getInt(prefix);
            m.xAxis[p] = settings.getInt(prefix + "xAxis");
            m.yAxis[p] = settings.getInt(prefix + "yAxis");
            m.xFlip[p] = settings.getInt(prefix + "xAxisFlip") != 0 ? -1.0 : 1.0;
            m.yFlip[p] = settings.getInt(prefix + "yAxisFlip") != 0 ? -1.0 : 1.0;
        }
        return m;
    });
    return mapping.get();
}

// The pad button of each control, player 1's eight then player 2's.
const std::array<int, Game::ControlCount>& padButtons() {
    static SettingsCache<std::array<int, Game::ControlCount>> buttons([] {
        Settings& settings = Settings::instance();
        std::array<int, Game::ControlCount> b{};
        for (int c = 0; c < Game::ControlCount; ++c) {
            b[c] = PadLayout::boundButton(settings, c / Player2, c % Player2);
        }
        return b;
    });
    return buttons.get();
}

float joystickDeadSpace() {
    static SettingsCache<float> deadSpace(
        [] { return Settings::instance().getFloatWithin("joystickDeadSpace", limits::fraction); });
    return deadSpace.get();
}

}  // namespace

void Game::readControlMapping() {
    Settings& settings = Settings::instance();
    controlMappingRevision = settings.revision();
    for (int player = 0; player < 2; ++player) {
        const std::string keyPrefix = "player" + std::to_string(player + 1);
        const std::string buttonPrefix = "joystickPlayer" + std::to_string(player + 1);
        for (int i = 0; i < 8; ++i) {
            controlKey[player * Player2 + i] = settings.getInt(keyPrefix + ControlNames::keys[i]);
            controlButton[player * Player2 + i] = settings.getInt(buttonPrefix + ControlNames::buttons[i]);
        }
    }
}

void Game::refreshControlMapping() {
    if (Settings::instance().revision() != controlMappingRevision) {
        readControlMapping();
    }
}

void Game::keyboard(int key, int, bool down, int) {
    // A menu waiting for a key to bind gets it, whatever the key does elsewhere.
    if (menu && menu->takeKey(key, down)) {
        return;
    }
    refreshControlMapping();
    int control = -1;
    for (int c = 0; c < ControlCount; ++c) {
        // An unbound control has key 0, which no key event should ever reach.
        if (controlKey[c] != 0 && controlKey[c] == key) {
            control = c;
            controlHeld[c] = down;
            break;
        }
    }
    if (!down) {
        return;
    }
    if (isWaitingForPeer()) {
        if (key == 27) {
            leaveWaitingScreen();
        }
        return;
    }
    if (attract && key == Settings::instance().getInt("escape")) {
        quit();
    }
    Cutscene& cutscene = Cutscene::instance();
    if (cutscene.isPlaying() && !attract) {
        cutscene.skip();
        return;
    }
    if (control >= 0) {
        controlPressed(control);
        return;
    }
    if (menu) {
        if (key == 10 || key == 13 || key == 32) {
            menu->activateSelected();
        } else if (key == 27) {
            menu->cancel();
        } else if (key == kControlsPageKey) {
            showControlsPage();
        }
        return;
    }
    if (key == 27) {
        showPauseMenu();
    } else if (key == 266) {
        SoundManager::instance().playSound("quillbanter");
    } else if (key == 268) {
        joystickDebug = !joystickDebug;
        std::cout << "Joystick debugging " << (joystickDebug ? "enabled.\n" : "disabled.\n");
    }
}

void Game::joystickButton(int joystick, int button, bool down) {
    if (menu && menu->takePadButton(joystick, button, down)) {
        return;
    }
    Cutscene& cutscene = Cutscene::instance();
    if (cutscene.isPlaying() && down) {
        cutscene.skip();
        return;
    }
    if (joystickDebug) {
        std::cout << "Joystick Button [joystick=" << joystick << ", button=" << button
                  << ", down=" << (down ? "true" : "false") << "]\n";
    }
    refreshControlMapping();
    if (padButton(joystick, button, down)) {
        return;
    }
    const JoystickMapping& mapping = joystickMapping();
    int control = -1;
    for (int player = 0; player < 2; ++player) {
        if (joystick != mapping.joystick[player]) {
            continue;
        }
        for (int c = player * Player2; c < player * Player2 + 8; ++c) {
            if (controlButton[c] == button) {
                controlHeld[c] = down;
                control = c;
                break;
            }
        }
    }
    if (down && control >= 0) {
        controlPressed(control);
    }
}

void Game::joystickAxis(int joystick, int axis, double value) {
    if (joystickDebug) {
        std::cout << "Joystick Axis Motion [joystick=" << joystick << ", axis=" << axis
                  << ", position=" << value << "]\n";
    }
    // A pad's left stick, y down the screen as SDL gives it: that is out of the screen,
    // as an unflipped joystick's depth axis reads.
    const int padSlot = joystick - PadLayout::FirstJoystick;
    if (padSlot >= 0 && padSlot < PadLayout::PlayerSlots) {
        if (axis == SDL_CONTROLLER_AXIS_LEFTX) {
            stick[padSlot].horizontal = value;
        } else if (axis == SDL_CONTROLLER_AXIS_LEFTY) {
            stick[padSlot].depth = value;
        }
        return;
    }
    const JoystickMapping& mapping = joystickMapping();
    for (int player = 0; player < 2; ++player) {
        if (joystick != mapping.joystick[player]) {
            continue;
        }
        if (axis == mapping.xAxis[player]) {
            stick[player].horizontal = value * mapping.xFlip[player];
        }
        if (axis == mapping.yAxis[player]) {
            stick[player].depth = value * mapping.yFlip[player];
        }
    }
}

bool Game::padButton(int joystick, int button, bool down) {
    const int slot = joystick - PadLayout::FirstJoystick;
    if (slot < 0 || slot >= PadLayout::PlayerSlots) {
        return false;
    }
    if (button == SDL_CONTROLLER_BUTTON_BACK) {
        if (down) {
            backPressed();
        }
        return true;
    }
    const std::array<int, ControlCount>& buttons = padButtons();
    int control = -1;
    for (int c = slot * Player2; c < slot * Player2 + 8; ++c) {
        if (buttons[c] == button) {
            controlHeld[c] = down;
            control = c;
            break;
        }
    }
    if (!down || control < 0) {
        return true;
    }
    // A pad has no Return key and no Escape: at home its Start chooses in menus (as
    // Attack does) and pauses play. In the arcade it joins, as the Start key does.
    if (control % Player2 == Start && !isArcade() && !isWaitingForPeer()) {
        if (menu) {
            controlPressed(control - Start + Attack);
        } else {
            showPauseMenu();
        }
        return true;
    }
    controlPressed(control);
    return true;
}

void Game::backPressed() {
    if (isWaitingForPeer()) {
        leaveWaitingScreen();
    } else if (menu) {
        menu->cancel();
    } else {
        showPauseMenu();
    }
}

void Game::playerHurt(const Player* player) {
    if (player != nullptr && player == player1) {
        rumbleWanted[0] = true;
    } else if (player != nullptr && player == player2) {
        rumbleWanted[1] = true;
    }
}

std::vector<int> Game::takeRumbleRequests() {
    std::vector<int> slots;
    for (int slot = 0; slot < 2; ++slot) {
        if (rumbleWanted[slot]) {
            slots.push_back(slot);
            rumbleWanted[slot] = false;
        }
    }
    return slots;
}

void Game::controlPressed(int control) {
    if (isWaitingForPeer()) {
        return;
    }
    const int action = control % Player2;
    if (menu) {
        menuNote.clear();
        const int player = control / Player2;
        if (action == Up) {
            menu->selectPrevious();
        } else if (action == Down) {
            menu->selectNext();
        } else if (action == Left || action == Right) {
            menu->adjustSelected(action == Left ? -1 : 1, player);
        } else if (action == Attack && menu->takesAttack()) {
            menu->activateSelected(player);
        }
        return;
    }
    if (action == Attack) {
        sinceAttack = 0;
    }
    if (isArcade() && arcadeControlPressed(control)) {
        return;
    }
    if (Player* const first = getPlayer1(); first != nullptr && control < Player2) {
        playerControlPressed(first, control, 0);
    }
    if (Player* const second = getPlayer2(); second != nullptr && control >= Player2) {
        playerControlPressed(second, control, 1);
    }
}

void Game::guardMenuAgainstAttack() {
    const bool attackHeld = controlHeld[Attack] || controlHeld[Player2 + Attack];
    if (attackHeld || sinceAttack < MenuAttackGuard) {
        menu->ignoreAttackFor(MenuAttackGuard);
    }
}

// Returns true when the press started a game and so does nothing else.
bool Game::arcadeControlPressed(int control) {
    const int action = control % Player2;
    const int playerIndex = control / Player2;
    const int credits = coinClient->getCredits();
    if (action == Start && credits < 1) {
        showInsertCoin(playerIndex);
    }

    if (continueCountdown <= 0 && attract && credits >= 1 && action == Start) {
        coinClient->useCoin();
        startGame(playerIndex == 0, playerIndex == 1, "level1.dat");
        return true;
    }
    if (continueCountdown > 0) {
        if (action == Attack || action == PickUp) {
            continueCountdown = ContinueTime;
        } else if (action == Drop) {
            continueCountdown -= 1000;
            // Twenty drops from a fresh countdown land exactly on 0, which must end it
            // too: at 0 the next tick would otherwise start a new countdown.
            if (continueCountdown < 1) {
                continueCountdown = 0;
                showMainMenu();
                return true;
            }
        }
    }
    if (!attract && coinClient->getCredits() >= 1 && action == Start) {
        Handle<Player>& slot = playerIndex == 0 ? player1 : player2;
        Player* const player = slot.get();
        if (player == nullptr) {
            const Player* partner = (playerIndex == 0 ? player2 : player1).get();
            slot = createPlayer(playerIndex == 0 ? Player1Colour : Player2Colour, joinPlace(partner), playerIndex);
            coinClient->useCoin();
            continueCountdown = 0;
        } else if (player->isDead()) {
            player->respawn();
            coinClient->useCoin();
            continueCountdown = 0;
        }
    }
    return false;
}

// Behind the partner and to their left, or in front or to their right where the floor or
// the view ends: near enough to fight together, never on top of them.
Vec3 Game::joinPlace(const Player* partner) const {
    if (partner == nullptr) {
        return Vec3(0, 0, 0);
    }
    const Vec3& at = partner->position;
    const double z = at.z - JoinBehind >= level.backLimit() ? at.z - JoinBehind : at.z + JoinBehind;
    const double x = at.x - JoinBeside >= level.leftEdge(20.0 - z) ? at.x - JoinBeside : at.x + JoinBeside;
    return Vec3(x, 0.0, z);
}

void Game::showInsertCoin(int playerIndex) {
    attractHud->startWithoutCredit(playerIndex);
    for (const std::unique_ptr<Object>& object : world) {
        if (auto* hud = dynamic_cast<CreditsHUD*>(object.get())) {
            hud->startWithoutCredit(playerIndex);
        }
    }
}

void Game::playerControlPressed(Player* player, int control, int stickPlayer) {
    const int base = control - control % Player2;
    switch (control % Player2) {
        case Attack:
            player->attack();
            break;
        case Drop:
            player->dropWeapon();
            break;
        case PickUp:
            // The part asked for follows the direction held at the moment of the press.
            if (controlHeld[base + Up] || stickDirection(stickPlayer, 0)) {
                player->pickUp(HeadPart);
            } else if (controlHeld[base + Down] || stickDirection(stickPlayer, 2)) {
                player->pickUp(LegPart);
            } else if (controlHeld[base + Left] || controlHeld[base + Right] || stickDirection(stickPlayer, 3) ||
                       stickDirection(stickPlayer, 1)) {
                player->pickUp(WholeBody);
            } else {
                player->pickUp(ArmPart);
            }
            break;
        default:
            break;
    }
}

void Game::applyMovement() {
    const float deadSpace = joystickDeadSpace();
    const double moveSpeed = Settings::instance().getFloatWithin("moveSpeed", limits::speed);
    Player* const players[2] = {getPlayer1(), getPlayer2()};
    for (int p = 0; p < 2; ++p) {
        if (players[p] == nullptr) {
            continue;
        }
        const int base = p * Player2;
        Vec3 direction;
        if (controlHeld[base + Left]) direction += Vec3(-1, 0, 0);
        if (controlHeld[base + Right]) direction += Vec3(1, 0, 0);
        if (controlHeld[base + Up]) direction += Vec3(0, 0, -1);
        if (controlHeld[base + Down]) direction += Vec3(0, 0, 1);
        direction += Vec3(stick[p].horizontal, 0, stick[p].depth);
        const double length = direction.length();
        if (length > deadSpace) {
            if (length > 1.0) {
                direction = direction / length;
            }
            players[p]->move(direction * moveSpeed);
        }
    }
}

bool Game::stickDirection(int player, int direction) const {
    const float d = joystickDeadSpace();
    const float h = static_cast<float>(stick[player].horizontal);
    const float v = static_cast<float>(stick[player].depth);
    const float absH = h < 0 ? -h : h;
    const float absV = v < 0 ? -v : v;
    switch (direction) {
        case 0: return v < -d && absH < absV;
        case 1: return h > d && absV < absH;
        case 2: return v > d && absH < absV;
        case 3: return h < -d && absV < absH;
        default: return false;
    }
}

Game::ControlState Game::controlState() const {
    ControlState state;
    state.held = controlHeld;
    state.sticks = {stick[0].horizontal, stick[0].depth, stick[1].horizontal, stick[1].depth};
    return state;
}

void Game::restoreControls(const ControlState& state) {
    controlHeld = state.held;
    stick[0] = {state.sticks[0], state.sticks[1]};
    stick[1] = {state.sticks[2], state.sticks[3]};
}
