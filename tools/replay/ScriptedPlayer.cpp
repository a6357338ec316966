#include "ScriptedPlayer.h"

#include "Fighter.h"
#include "Keyboard.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <iostream>
#include <set>
#include <thread>
#include <vector>

#include "characters/Boss.h"
#include "characters/Enemy.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "replay/Recorder.h"
#include "ui/Cutscene.h"
#include "world/Level.h"
#include "world/Health.h"

namespace {

constexpr int kSpace = 32;
constexpr int kReturn = 13;
constexpr int kEscape = 27;
constexpr int kMenuDown = 359;

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

// How one level of the game went, for the summary.
struct LevelPlayed {
    std::string name;
    int ticks = 0;
    int restarts = 0;
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
    std::vector<LevelPlayed> levelsPlayed = {{game.getLevelName()}};
    for (; seam.isPlaying() && tick < script.mostTicks; ++tick) {
        if (Cutscene::instance().isPlaying() && tick % 5 == 0) {
            keyboard.press(kSpace);
        } else if (game.getMenu() != nullptr) {
            keyboard.press(one.keys.attack);  // the death menu: restart the level
            ++levelsPlayed.back().restarts;
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
        if (game.getLevelName() != levelsPlayed.back().name) levelsPlayed.push_back({game.getLevelName()});
        ++levelsPlayed.back().ticks;
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
    for (const LevelPlayed& level : levelsPlayed) {
        std::cout << "  " << level.name << ": " << level.ticks << " ticks, " << level.restarts << " restarts\n";
    }
    if (script.weapons && weaponsUsed.size() != kEveryWeapon.size()) {
        std::cout << scriptName << ": not every weapon was used; record it again\n";
        return 1;
    }
    return 0;
}
