#include "ScriptedPlayer.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <iostream>
#include <set>
#include <thread>

#include "characters/Boss.h"
#include "characters/Enemy.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "replay/Recorder.h"
#include "ui/Cutscene.h"
#include "world/Health.h"

namespace {

constexpr int kSpace = 32;
constexpr int kReturn = 13;
constexpr int kEscape = 27;
constexpr int kMenuDown = 359;

// Keys go through the seam exactly as the keyboard callbacks deliver them.
class Keyboard {
public:
    void hold(int key, bool down) {
        if (key == 0 || (held.count(key) != 0) == down) return;
        if (down) held.insert(key); else held.erase(key);
        InputSeam::instance().key(key, down);
    }
    void press(int key) {
        InputSeam::instance().key(key, true);
        InputSeam::instance().key(key, false);
        held.erase(key);
    }
    void releaseAll() {
        while (!held.empty()) hold(*held.begin(), false);
    }

private:
    std::set<int> held;
};

// The keys the settings give player 1 or 2.
struct PlayerKeys {
    explicit PlayerKeys(int player) : prefix("player" + std::to_string(player)) {}
    int key(const char* control) const { return Settings::instance().getInt(prefix + control); }

    const std::string prefix;
    const int left = key("Left");
    const int right = key("Right");
    const int up = key("Up");
    const int down = key("Down");
    const int attack = key("Attack");
    const int pickUp = key("PickUp");
    const int drop = key("Drop");
    const int start = key("Start");
};

// A tiny coin server on 127.0.0.1: answers "Q" with the count, takes one off on "U".
class CoinServer {
public:
    CoinServer() : socketFd(socket(AF_INET, SOCK_DGRAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        getsockname(socketFd, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        timeval wait{0, 100000};
        setsockopt(socketFd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        serving = std::thread([this] { serve(); });
    }
    ~CoinServer() {
        running = false;
        serving.join();
        close(socketFd);
    }
    void insertCoin() { ++credits; }
    int getPort() const { return port; }

private:
    void serve() {
        while (running) {
            char request = 0;
            sockaddr_in from{};
            socklen_t length = sizeof from;
            if (recvfrom(socketFd, &request, 1, 0, reinterpret_cast<sockaddr*>(&from), &length) != 1) continue;
            if (request == 'U' && credits > 0) --credits;
            if (request == 'Q') {
                const unsigned char count = static_cast<unsigned char>(credits.load());
                sendto(socketFd, &count, 1, 0, reinterpret_cast<sockaddr*>(&from), length);
            }
        }
    }
    int socketFd;
    int port = 0;
    std::atomic<int> credits{0};
    std::atomic<bool> running{true};
    std::thread serving;
};

// One player's fighting habits, decided afresh every tick from what it sees.
class Fighter {
public:
    Fighter(int player, bool withWeapons) : keys(player), number(player), usesWeapons(withWeapons) {}

    void act(Game& game, Keyboard& keyboard, int tick, bool passive) {
        Player* me = number == 1 ? game.getPlayer1() : game.getPlayer2();
        int dx = 0;
        int dz = 0;
        if (me != nullptr && !me->isDead()) {
            steer(game, *me, keyboard, tick, passive, dx, dz);
        }
        keyboard.hold(keys.left, dx < 0);
        keyboard.hold(keys.right, dx > 0);
        keyboard.hold(keys.up, dz < 0);
        keyboard.hold(keys.down, dz > 0);
    }

    const PlayerKeys keys;

private:
    static Enemy* nearest(const Game& game, const Vec3& from, bool dead) {
        Enemy* best = nullptr;
        for (const auto& object : game.getWorld()) {
            auto* enemy = dynamic_cast<Enemy*>(object.get());
            if (enemy == nullptr || enemy->isDead() != dead) continue;
            if (dead && (dynamic_cast<Boss*>(enemy) != nullptr || !enemy->canLoseLimb(WholeBody))) continue;
            if (best == nullptr || from.distanceSquared(enemy->position) < from.distanceSquared(best->position)) {
                best = enemy;
            }
        }
        return best;
    }

    static void towards(const Vec3& gap, double reach, int& dx, int& dz) {
        if (std::abs(gap.x) > reach) dx = gap.x > 0 ? 1 : -1;
        if (std::abs(gap.z) > 0.4) dz = gap.z > 0 ? 1 : -1;
    }

    void steer(Game& game, Player& me, Keyboard& keyboard, int tick, bool passive, int& dx, int& dz) {
        dx = 1;
        if (passive) return;
        Enemy* enemy = nearest(game, me.position, false);
        Boss* boss = nullptr;
        for (const auto& object : game.getWorld()) {
            auto* found = dynamic_cast<Boss*>(object.get());
            if (found != nullptr && !found->isDead()) boss = found;
        }
        Object* held = me.heldWeapon();
        const bool bazooka = dynamic_cast<StickFigure*>(held) != nullptr;
        // The boss only falls to fired heads: fetch a whole corpse and shoot it.
        if (boss != nullptr && bazooka) enemy = boss;
        if (boss != nullptr && held != nullptr && !bazooka) keyboard.press(keys.drop);
        if ((boss != nullptr || (usesWeapons && tick % 600 > 300)) && held == nullptr) {
            if (Enemy* corpse = nearest(game, me.position, true)) {
                const Vec3 gap = corpse->position - me.position;
                dx = 0;
                towards(gap, 1.0, dx, dz);
                // Keep out of the boss's reach on the way.
                if (boss != nullptr && std::abs(boss->position.x - me.position.x) < 4.0 &&
                    std::abs(boss->position.z - me.position.z) < 2.0) {
                    dz = boss->position.z > me.position.z ? 1 : -1;
                }
                if (std::abs(gap.x) < 2.0 && std::abs(gap.z) < 1.0 && tick % 10 == 0) {
                    // Against the boss a whole body; otherwise in turn a body, a head, a leg.
                    const int turn = boss != nullptr ? 0 : pickups++ / 3 % 3;
                    keyboard.hold(turn == 0 ? keys.right : turn == 1 ? keys.up : keys.down, true);
                    keyboard.press(keys.pickUp);
                }
                return;
            }
        }
        // Low on health: drink the nearest ink pot in view.
        if (me.getHealth() < 150.0f) {
            for (const auto& object : game.getWorld()) {
                if (dynamic_cast<Health*>(object.get()) == nullptr) continue;
                const Vec3 gap = object->position - me.position;
                if (std::abs(gap.x) > 25.0) continue;
                dx = 0;
                towards(gap, 0.3, dx, dz);
                return;
            }
        }
        if (enemy == nullptr) return;
        const Vec3 gap = enemy->position - me.position;
        if (std::abs(gap.x) > 12.0) return;
        dx = 0;
        towards(gap, bazooka ? 8.0 : 2.5, dx, dz);
        // A shot needs room: back away from a foe too close to aim at.
        if (bazooka && std::abs(gap.x) < 5.0) dx = gap.x > 0 ? -1 : 1;
        // Face the enemy before striking.
        if ((dx == 0 || (bazooka && tick % 8 == 7)) && me.isFacingLeft() != (gap.x < 0)) dx = gap.x < 0 ? -1 : 1;
        if (tick % 8 != 0 || std::abs(gap.z) > (bazooka ? 0.6 : 1.0) || std::abs(gap.x) > (bazooka ? 12.0 : 3.5)) return;
        if (held == nullptr && tick % 48 == 0) {
            // Tear off what the direction asks for: an arm from the living, else head or leg.
            keyboard.hold(tick % 90 == 0 ? keys.up : keys.down, true);
            keyboard.press(keys.pickUp);
        } else if (!bazooka || me.getFigureState() == FigureState::Standing ||
                   me.getFigureState() == FigureState::Walking) {
            // A second press during a bazooka shot would start the shot over.
            keyboard.press(keys.attack);
        }
    }

    int number;
    bool usesWeapons;
    int pickups = 0;
};

struct Script {
    bool arcade = false;
    bool twoPlayers = false;
    bool weapons = false;
    int mostTicks = 0;
};

// Leaves a game still running by the pause menu's "exit to main menu".
void exitByPauseMenu(Game& game, Keyboard& keyboard) {
    keyboard.releaseAll();
    if (game.getMenu() == nullptr) keyboard.press(kEscape);
    keyboard.press(kMenuDown);
    keyboard.press(kMenuDown);
    keyboard.press(kReturn);
}

}  // namespace

int ScriptedPlayer::record(const std::string& scriptName, const std::string& outPath) {
    Script script;
    if (scriptName == "campaign1") {
        script = {false, false, false, 60000};
    } else if (scriptName == "campaign2") {
        script = {false, true, false, 60000};
    } else if (scriptName == "arcade") {
        script = {true, false, false, 12000};
    } else if (scriptName == "weapons") {
        script = {false, false, true, 12000};
    } else {
        std::cerr << "unknown script " << scriptName << "\n";
        return 2;
    }
    Settings& settings = Settings::instance();
    std::unique_ptr<CoinServer> coins;
    settings.setInt("arcade", script.arcade ? 1 : 0);
    if (script.arcade) {
        coins = std::make_unique<CoinServer>();
        settings.setString("coin_host", "127.0.0.1");
        settings.setString("coin_port", std::to_string(coins->getPort()));
    }
    Recorder recorder(outPath, settings.toLines());
    InputSeam& seam = InputSeam::instance();
    seam.setListener(&recorder);
    Game& game = Game::instance();
    Keyboard keyboard;
    Fighter one(1, script.weapons);
    Fighter two(2, script.weapons);

    if (script.arcade) {
        game.showMainMenu();
        coins->insertCoin();
        for (int tick = 0; tick < 10; ++tick) game.update(20);
        keyboard.press(one.keys.start);
    } else {
        game.startGame(true, script.twoPlayers, "level1.dat");
    }

    int tick = 0;
    bool respawned = false;
    const std::set<FigureState> kEveryWeapon = {FigureState::SwingFinish, FigureState::Throwing,
                                                FigureState::BazookaFinish};
    std::set<FigureState> weaponsUsed;
    int countdownTicks = 0;
    for (; seam.isPlaying() && tick < script.mostTicks; ++tick) {
        if (Cutscene::instance().isPlaying() && tick % 5 == 0) {
            keyboard.press(kSpace);
        } else if (game.getMenu() != nullptr) {
            keyboard.press(one.keys.attack);  // the death menu: restart the level
        }
        // Arcade: a second player pays to join, then both stand by until they fall; the
        // countdown is kept up once, shortened, and a credit revives player one.
        const bool passive = script.arcade && tick > 1500;
        if (script.arcade && tick == 600) {
            coins->insertCoin();
        } else if (script.arcade && tick == 620) {
            keyboard.press(two.keys.start);
        }
        countdownTicks = game.getContinueCountdown() > 0 ? countdownTicks + 1 : 0;
        if (script.arcade && !respawned) {
            if (countdownTicks == 2) keyboard.press(one.keys.attack);
            if (countdownTicks == 10) keyboard.press(one.keys.drop);
            if (countdownTicks == 20) coins->insertCoin();
            if (countdownTicks == 25) {
                keyboard.press(one.keys.start);
                respawned = true;
            }
        }
        one.act(game, keyboard, tick, passive);
        if (script.twoPlayers || script.arcade) two.act(game, keyboard, tick, passive);
        game.update(20);
        // The weapons fight ends once a stick was swung, a head thrown and a body fired.
        if (script.weapons && game.getPlayer1() != nullptr) {
            if (kEveryWeapon.count(game.getPlayer1()->getFigureState()) != 0) {
                weaponsUsed.insert(game.getPlayer1()->getFigureState());
            }
            if (weaponsUsed.size() == kEveryWeapon.size()) break;
        }
    }
    if (seam.isPlaying()) exitByPauseMenu(game, keyboard);
    if (seam.isPlaying()) recorder.finish();
    seam.setListener(nullptr);
    std::cout << scriptName << ": " << tick << " ticks recorded into " << outPath << ", last level "
              << game.getLevelName() << "\n";
    if (script.weapons && weaponsUsed.size() != kEveryWeapon.size()) {
        std::cout << scriptName << ": not every weapon was used; record it again\n";
        return 1;
    }
    return 0;
}
