#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>

#include "world/CollisionPass.h"
#include "world/Color.h"
#include "world/Level.h"
#include "world/Object.h"

class CoinClient;
class CreditsHUD;
class Enemy;
class FightView;
class Menu;
class OnlineSession;
class Player;

// The one running game: owns the world, the player slots, the level, the open menu,
// the arcade attract loop and the continue countdown. The main loop calls update once
// per 20 ms tick, draw once per frame, reshape on resize and keyboard / joystick for
// every input event. Nothing here needs a window except init, draw and reshape, so
// tests drive the game in-process.
class Game {
public:
    using World = std::list<std::unique_ptr<Object>>;

    static constexpr int ControlCount = 16;
    // Milliseconds an arcade player has to pay for a continue once everyone is down.
    static constexpr int ContinueTime = 20000;
    // A menu that opens while attack is held, or this soon after it was pressed, lets
    // attack choose only once it has been open as long.
    static constexpr int MenuAttackGuard = 500;
    // Player 1 is dark blue, player 2 dark red; a lone player is always dark blue.
    static constexpr Color Player1Colour{0.0, 0.0, 0.3, 1.0};
    static constexpr Color Player2Colour{0.3, 0.0, 0.0, 1.0};

    static Game& instance();
    // Tests: throw the current game away so the next instance() builds a fresh one.
    static void resetInstance();
    ~Game();

    // One-time set-up once a GL context exists: GL state, textures, body lists, menu.
    void init();
    // One 20 ms tick; false when an online game held it back for the other side's input.
    bool update(int milliseconds);
    void draw();
    void reshape(int width, int height);

    // Transitions between menus, attract loop, play, pause, death and continue.
    void startGame(bool withPlayer1, bool withPlayer2, const std::string& levelFile);
    void restartLevel();
    void advanceToNextLevel();
    void showMainMenu();
    void showPauseMenu();
    void showDeathMenu();
    void closeMenu();
    void setBackground(const std::string& textureName);
    void clearBackground();
    [[noreturn]] void quit();

    // World operations offered to objects.
    void addObject(std::unique_ptr<Object> object);
    std::unique_ptr<Object> removeObject(Object* target);
    void broadcast(Object* from, int message);
    void clearWorld();
    bool noLivingEnemies() const;
    int countLivingMinions() const;
    void disintegrateAll();
    Object* findNearestObstacle(const Vec3& from) const;
    Object* findNearestTarget(const Vec3& from) const;
    // The nearest living enemy, the boss included, that `eligible` (when given) accepts;
    // none when there is no such enemy. Scripted and random players steer by it.
    Enemy* findNearestEnemy(const Vec3& from, const std::function<bool(const Enemy&)>& eligible = {}) const;
    Vec3 currentWorldPosition() const;

    // Input (keys as delivered by the GLUT callbacks: special keys are 256 + code).
    void keyboard(int key, int x, bool down, int modifiers);
    void joystickButton(int joystick, int button, bool down);
    void joystickAxis(int joystick, int axis, double value);
    void controlPressed(int control);
    void applyMovement();
    bool stickDirection(int player, int direction) const;

    // Online co-op (GameOnline.cpp). With the setting "online" on in home mode, "2 Players"
    // connects to the other machine instead of starting at once: false when it is off.
    bool startOnlineGame();
    // The waiting screen: a session is connecting and the level has not started yet.
    bool isWaitingForPeer() const;
    bool isOnline() const { return online != nullptr; }
    OnlineSession* getOnlineSession() const { return online.get(); }
    // Why the last online game ended, shown on the main menu until the player moves in it
    // or a few seconds pass; empty when nothing is shown.
    const std::string& getMenuNote() const { return menuNote; }

    // What the controls hold between events: a replay starts from the state they had
    // when its game began.
    struct ControlState {
        std::array<bool, ControlCount> held{};
        std::array<double, 4> sticks{};  // player 1 horizontal, depth, then player 2
    };
    ControlState controlState() const;
    void restoreControls(const ControlState& state);

    // Read by the HUD, the level, enemies and tests.
    CoinClient* getCoinClient() const { return coinClient.get(); }
    int getContinueCountdown() const { return continueCountdown; }
    Player* getPlayer1() const { return player1; }
    Player* getPlayer2() const { return player2; }
    int playerCount() const;
    Level& getLevel() { return level; }
    const Level& getLevel() const { return level; }
    const World& getWorld() const { return world; }
    Menu* getMenu() const { return menu.get(); }
    bool isBackgroundShown() const { return backgroundShown; }
    const std::string& getBackgroundTexture() const { return backgroundTexture; }
    bool isAttract() const { return attract; }
    bool isJoystickDebug() const { return joystickDebug; }
    bool isControlHeld(int control) const { return controlHeld[control]; }
    int getWindowWidth() const { return windowWidth; }
    int getWindowHeight() const { return windowHeight; }
    const std::string& getLevelName() const { return levelName; }
    CreditsHUD* getAttractHud() const { return attractHud.get(); }
    const FightView& getFightView() const { return *fightView; }

    // The world's per-tick passes, in the order the gameplay tick runs them.
    void updateObjects(int milliseconds);
    void removeKilledObjects();
    void clampToView();
    void collisionPass();
    void removeOffscreenObjects();
    void sortForDrawing();

private:
    Game();
    void readControlMapping();
    // The keys and buttons follow the settings store: an online game binds its own codes
    // and puts the player's back when it is over, and the menu must answer them at once.
    void refreshControlMapping();
    void createPlayers();
    Player* createPlayer(const Color& colour, const Vec3& where, int slot);
    bool allPlayersGone() const;
    void runGameplay(int milliseconds);
    void drawBackground() const;
    // True while one scene leads straight into another, so the level must not show.
    bool betweenScenes() const;
    bool isArcade() const;
    bool arcadeControlPressed(int control);
    // Where a player who joins a game in progress comes in, given the other player (or
    // none): JoinBeside along the level and JoinBehind in depth from them.
    Vec3 joinPlace(const Player* partner) const;
    static constexpr double JoinBeside = 3.0;
    static constexpr double JoinBehind = 2.5;
    // Start pressed without a credit: the prompts say what is missing.
    void showInsertCoin(int playerIndex);
    void playerControlPressed(Player* player, int control, int stickPlayer);
    void runTick(int milliseconds);
    void serviceOnline();
    // After each tick: ends a finished online game and counts the menu note down.
    void settleOnline(int milliseconds);
    void leaveWaitingScreen();
    void showMenuNote(const std::string& note);
    // Called as each menu opens: see MenuAttackGuard.
    void guardMenuAgainstAttack();
    void drawOnlineOverlay() const;

    World world;
    // Counts additions, removals and broadcasts, so the collision pass knows when a
    // message may have changed objects other than the two it was sent between.
    std::uint64_t worldEdits = 0;
    CollisionPass collisions;
    Player* player1 = nullptr;
    Player* player2 = nullptr;
    bool player1Joined = false;
    bool player2Joined = false;
    Level level;
    std::string levelName;
    std::unique_ptr<Menu> menu;
    bool backgroundShown = false;
    std::string backgroundTexture;
    bool attract = false;
    // False once the attract-loop cutscene failed to start (missing, or without a slide):
    // it is tried once per visit to the attract loop, not again on every tick.
    bool attractShowStarts = false;
    int continueCountdown = 0;
    std::unique_ptr<CoinClient> coinClient;
    std::unique_ptr<CreditsHUD> attractHud;
    std::unique_ptr<FightView> fightView;
    bool joystickDebug = false;
    // Owned while an online game is set up or played, like the coin client; attached to the
    // input seam as its replacement from the level's start until the game ends.
    std::unique_ptr<OnlineSession> online;
    std::string menuNote;
    int menuNoteMilliseconds = 0;
    int windowWidth = 640;
    int windowHeight = 480;

    std::array<bool, ControlCount> controlHeld{};
    // Game time since either player last pressed attack; capped, and "long ago" when a
    // game starts, so a replay sees the same value as the game it recorded.
    int sinceAttack = MenuAttackGuard;
    std::array<int, ControlCount> controlKey{};
    std::array<int, ControlCount> controlButton{};
    unsigned long controlMappingRevision = 0;
    // Last axis values of each player's joystick, after inversion.
    struct StickAxes {
        double horizontal = 0.0;
        double depth = 0.0;
    };
    std::array<StickAxes, 2> stick{};
};
