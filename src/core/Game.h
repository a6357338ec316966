#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/CampaignProgress.h"
#include "core/ControlsIntro.h"
#include "core/Match.h"
#include "core/PlayerConfig.h"
#include "world/CollisionPass.h"
#include "render/PictureFrame.h"
#include "world/Color.h"
#include "world/Handle.h"
#include "world/Level.h"
#include "world/Object.h"

class CoinClient;
class CreditsHUD;
class Enemy;
class FightView;
class Menu;
class OnlineSession;
class Player;

// The running game: owns its match (the world, the player slots, the level, the open
// menu, the arcade attract loop, the continue countdown and all else that decides how
// the game goes on) and the devices and links around it. The main loop calls update once
// per 20 ms tick, draw once per frame, reshape on resize and keyboard / joystick for
// every input event. Nothing here needs a window except init, draw and reshape, so
// tests drive the game in-process.
class Game {
public:
    using World = ::World;

    static constexpr int ControlCount = Match::ControlCount;
    // Milliseconds an arcade player has to pay for a continue once everyone is down.
    static constexpr int ContinueTime = 20000;
    static constexpr int MenuAttackGuard = Match::MenuAttackGuard;
    // Player 1 is dark blue, player 2 dark red; a lone player is always dark blue.
    static constexpr Color Player1Colour{0.0, 0.0, 0.3, 1.0};
    static constexpr Color Player2Colour{0.3, 0.0, 0.0, 1.0};

    // The current game; built on first use.
    static Game& instance();
    // Tests: throw the current game away so the next instance() builds a fresh one.
    static void resetInstance();
    // Tests and tools: another game beside the current one, with a match of its own.
    static std::unique_ptr<Game> create();
    // Makes `other` the current game and hands the current one over in its place.
    static void swapInstance(std::unique_ptr<Game>& other);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
    ~Game();

    // The player's own files, given by start-up before init: the settings file the game
    // ships with ("Defaults" on the controls page), the player's settings file (which the
    // options menu writes) and the state folder (campaign progress, the controls page
    // shown once). Without them nothing is read or written.
    void usePlayerFiles(const std::string& bundledConfig, const std::string& userConfig,
                        const std::string& stateFolder);
    // One-time set-up once a GL context exists: GL state, textures, body lists, menu.
    void init();
    // One 20 ms tick; false when an online game held it back for the other side's input.
    bool update(int milliseconds);
    // One frame, shown by a buffer swap. `blend` (0 to 1) is how far the picture lies
    // between the last two gameplay ticks: figures, flying drops and the view are drawn
    // that far from where the last tick found them to where it left them. Drawing only
    // reads the game: any blend shows the same match.
    void draw(double blend = 1.0);
    // The same frame into the back buffer, not shown (tests read it back).
    void drawPicture(double blend = 1.0);
    void reshape(int width, int height);
    // Where the 4:3 picture sits in the window.
    PictureFrame pictureFrame() const { return PictureFrame(windowWidth, windowHeight); }
    // What a frame drawn now blends an object by whose state was kept at the start of
    // gameplay tick `tick`: the frame's blend when that is the latest tick and it moved
    // the world, otherwise 1 (the object as it is).
    double drawBlend(unsigned tick) const;
    // Whether the latest tick moved the world, so frames drawn before the next one differ.
    bool isWorldMoving() const { return worldMoved; }

    // One tick at once, outside the main loop's pace: an online game runs again the ticks
    // that a rollback took back (see OnlineSession). Nothing online is settled here.
    void rerunTick(int milliseconds) { runTick(milliseconds); }
    // The fight is on: no menu, cutscene, attract loop, waiting screen or picture over
    // the level. Only such ticks may run on a guess of the other side's input.
    bool isInPlay() const;

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

    // A menu opened from another (options, controls): the other waits under it, untouched,
    // until closeSubmenu brings it back with its background. closeMenu closes them all.
    void openSubmenu(std::unique_ptr<Menu> next, const std::string& background);
    void closeSubmenu();
    // The controls page over the open menu (not in an online game, whose controls are the
    // session's). `then`, when given, runs when the player leaves the page.
    void showControlsPage(std::function<void()> then = {});
    // Runs `start` (a game chosen on the main menu), after the controls page when this
    // installation has never shown it.
    void afterControlsIntro(std::function<void()> start);
    // Campaigns: a new one from the first level, and Continue from the furthest level
    // reached (only while continuePoint has one whose level file the data still holds).
    void startCampaign(bool withPlayer1, bool withPlayer2);
    std::optional<CampaignProgress::Record> continuePoint() const;
    void continueCampaign();

    // Settings changed from the menus: in force at once and saved to the player's own
    // file (not while a replay plays back); a file that cannot be saved gets a line on
    // screen and on standard output.
    void changeSettings(const std::vector<PlayerConfig::Change>& changes);
    // A recorded game is being watched: its menu choices replay, but what concerns only
    // this machine (volumes, the window) stays as the watcher has it.
    bool isWatchingReplay() const;
    // Reads the keys and buttons of the controls again, after a binding changed.
    void reloadControls() { readControlMapping(); }
    const std::string& getBundledConfigFile() const { return bundledConfigFile; }
    // A line at the bottom of the screen for a few seconds.
    void showMenuNote(const std::string& note);

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
    // The object with this spawn id while it is in the world; null otherwise.
    Object* findObject(ObjectId id) const;

    // Input (keys as delivered by the GLUT callbacks: special keys are 256 + code).
    void keyboard(int key, int x, bool down, int modifiers);
    void joystickButton(int joystick, int button, bool down);
    void joystickAxis(int joystick, int axis, double value);
    void controlPressed(int control);
    void applyMovement();
    bool stickDirection(int player, int direction) const;

    // Gamepads (input/PadLayout.h). The device layer names the pads it sees on every
    // connect and disconnect, in slot order ("" for a free slot before a used one).
    void setPadNames(std::vector<std::string> names) { padNames = std::move(names); }
    const std::vector<std::string>& getPadNames() const { return padNames; }
    // A player lost health: their pad may rumble. Presentation only, never the match.
    void playerHurt(const Player* player);
    // The player slots (0, 1) hurt since the last call, each once; the device layer
    // takes them after every tick.
    std::vector<int> takeRumbleRequests();

    // Online co-op (GameOnline.cpp). With the setting "online" on in home mode, "2 Players"
    // connects to the other machine instead of starting at once: false when it is off.
    bool startOnlineGame();
    // The waiting screen: a session is connecting and the level has not started yet.
    bool isWaitingForPeer() const;
    bool isOnline() const { return online != nullptr; }
    // The player this machine's person plays in the online game (0 host, 1 joiner); -1
    // offline.
    int onlineLocalPlayer() const { return online ? onlinePlayer : -1; }
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
    Player* getPlayer1() const;
    Player* getPlayer2() const;
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
    // The state of the game in progress.
    Match& getMatch() { return match; }
    const Match& getMatch() const { return match; }
    // A copy of the game in progress, the coin client's count with it, to be brought back
    // later with restore. Cheap enough to take every tick.
    Match snapshot() const;
    // Brings a snapshot back: the game goes on exactly as it would have from the moment
    // the snapshot was taken. Objects, menus and references from before are gone.
    void restore(const Match& saved);
    // The level starts or the view moves on from a cleared stop: in home mode the match is
    // set aside as the checkpoint before the next gameplay tick.
    void markCheckpoint();
    // The death or pause menu's retry: the latest checkpoint comes back, every player
    // alive at full health, the controls as they are held now; without a checkpoint the
    // level restarts.
    void retryFromCheckpoint();
    // Starts the music and remembers it with the match.
    void playMusic(const std::string& file);
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
    void takeCheckpoint();
    // Puts a match in place of this one, with its cutscene's textures and its music.
    void bringBack(const Match& saved);
    // Keeps what frames drawn before the next tick blend from.
    void rememberTickStart();
    void drawBackground(const PictureFrame& frame) const;
    void drawLevel(const PictureFrame& frame);
    // The game's camera on the projection matrix, over the whole window or the frame.
    void loadCamera(const PictureFrame& frame, bool wholeWindow) const;
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
    // A pad's button (joystick PadLayout::FirstJoystick + slot); false for other joysticks.
    bool padButton(int joystick, int button, bool down);
    // Escape's action without a keyboard: a pad's Back.
    void backPressed();
    void runTick(int milliseconds);
    void serviceOnline();
    // After each tick: ends a finished online game and counts the menu note down.
    void settleOnline(int milliseconds);
    void leaveWaitingScreen();
    // Called as each menu opens: see MenuAttackGuard.
    void guardMenuAgainstAttack();
    void drawOnlineOverlay() const;
    void recordProgress();

    Match match;
    // The Game's own code names the parts of its match as it always did.
    World& world = match.world;
    Handle<Player>& player1 = match.player1;
    Handle<Player>& player2 = match.player2;
    bool& player1Joined = match.player1Joined;
    bool& player2Joined = match.player2Joined;
    Level& level = match.level;
    std::string& levelName = match.levelName;
    ClonePtr<Menu>& menu = match.menu;
    bool& backgroundShown = match.backgroundShown;
    std::string& backgroundTexture = match.backgroundTexture;
    bool& attract = match.attract;
    // False once the attract-loop cutscene failed to start (missing, or without a slide):
    // it is tried once per visit to the attract loop, not again on every tick.
    bool& attractShowStarts = match.attractShowStarts;
    int& continueCountdown = match.continueCountdown;
    std::array<bool, ControlCount>& controlHeld = match.controlHeld;
    std::array<Match::StickAxes, 2>& stick = match.stick;
    std::vector<std::pair<ClonePtr<Menu>, std::string>>& menusUnder = match.menusUnder;
    int& sinceAttack = match.sinceAttack;

    // Counts additions, removals and broadcasts, so the collision pass knows when a
    // message may have changed objects other than the two it was sent between.
    std::uint64_t worldEdits = 0;
    CollisionPass collisions;
    std::unique_ptr<CoinClient> coinClient;
    std::unique_ptr<CreditsHUD> attractHud;
    std::unique_ptr<FightView> fightView;
    bool joystickDebug = false;
    // Owned while an online game is set up or played, like the coin client; attached to the
    // input seam as its replacement from the level's start until the game ends.
    std::unique_ptr<OnlineSession> online;
    int onlinePlayer = 0;
    std::string menuNote;
    int menuNoteMilliseconds = 0;
    std::string bundledConfigFile;
    PlayerConfig playerConfig;
    CampaignProgress progress;
    ControlsIntro controlsIntro;
    // The number in its campaign of the level being played; 0 outside a campaign (arcade,
    // online, a replay), whose levels are never recorded.
    int campaignLevel = 0;
    int windowWidth = 640;
    int windowHeight = 480;
    // Presentation only, never read by a tick: gameplay ticks run so far, whether the
    // latest tick moved the world, the blend of the frame being drawn and, while the level
    // is being drawn, the view's position in it.
    unsigned gameplayTicks = 0;
    bool worldMoved = false;
    double frameBlend = 1.0;
    std::optional<double> viewScroll;

    std::array<int, ControlCount> controlKey{};
    std::array<int, ControlCount> controlButton{};
    unsigned long controlMappingRevision = 0;
    std::vector<std::string> padNames;
    std::array<bool, 2> rumbleWanted{};
};
