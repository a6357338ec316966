#include "core/Game.h"

#include <GL/freeglut.h>

#include <cstdlib>
#include <fstream>
#include <iostream>

#include "arcade/CoinClient.h"
#include "audio/SoundManager.h"
#include "characters/AnimationLibrary.h"
#include "characters/BodyLists.h"
#include "characters/Player.h"
#include "characters/StartupAnimations.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "net/OnlineSession.h"
#include "render/CreditsHUD.h"
#include "render/HealthBar.h"
#include "render/OverlayMatrices.h"
#include "render/TextureManager.h"
#include "ui/ControlsPage.h"
#include "ui/Cutscene.h"
#include "ui/DeathMenu.h"
#include "ui/MainMenu.h"
#include "ui/PauseMenu.h"
#include "world/Ink.h"

namespace {

std::unique_ptr<Game>& gameHolder() {
    static std::unique_ptr<Game> holder;
    return holder;
}

}  // namespace

Game& Game::instance() {
    std::unique_ptr<Game>& holder = gameHolder();
    if (!holder) {
        holder.reset(new Game());
    }
    return *holder;
}

void Game::resetInstance() { gameHolder().reset(); }

Game::Game() {
    coinClient = std::make_unique<CoinClient>();
    readControlMapping();
    for (const StartupAnimation& animation : kStartupAnimations) {
        AnimationLibrary::instance().load(animation.file);
    }
    SoundManager::instance().loadSoundList("sounds.dat");
    attractHud = std::make_unique<CreditsHUD>();
}

Game::~Game() {
    // Players are owned by the world; forget them before the world goes.
    player1 = nullptr;
    player2 = nullptr;
    world.clear();
}

bool Game::isArcade() const { return Settings::instance().getInt("arcade") != 0; }

void Game::usePlayerFiles(const std::string& bundledConfig, const std::string& userConfig,
                          const std::string& stateFolder) {
    bundledConfigFile = bundledConfig;
    playerConfig = PlayerConfig(userConfig);
    progress = CampaignProgress(stateFolder);
    progress.load();
    if (!progress.loadProblem().empty()) {
        showMenuNote(progress.loadProblem());
    }
    controlsIntro = ControlsIntro(stateFolder);
}

void Game::init() {
    glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    TextureManager::instance().clear();
    TextureManager::instance().loadList("textures.dat");
    BodyLists::instance().buildPlayerLists();
    showMainMenu();
}

bool Game::update(int milliseconds) {
    serviceOnline();
    SoundManager::instance().updateMusic();
    // An online game holds a tick back until the other side's input for it is in; the
    // music and the picture go on, the game's state does not move.
    const bool ready = InputSeam::instance().tickReady();
    if (ready) {
        runTick(milliseconds);
    }
    // After the tick, never inside it: the session may be the one calling back.
    settleOnline(milliseconds);
    return ready;
}

void Game::runTick(int milliseconds) {
    InputSeam& seam = InputSeam::instance();
    seam.tickStarting();
    coinClient->poll();
    attractHud->update(milliseconds);

    Cutscene& cutscene = Cutscene::instance();
    if (cutscene.isPlaying()) {
        cutscene.update(milliseconds);
    } else if (attract) {
        if (attractShowStarts) {
            attractShowStarts = cutscene.load("cutscenes/arcade.dat", Cutscene::Audience::Nobody);
        }
    } else if (isWaitingForPeer()) {
        // The last game's world lies under the waiting screen; it must not move.
    } else if (menu) {
        menu->update(milliseconds);
    } else {
        runGameplay(milliseconds);
    }
    seam.tickEnded();
}

void Game::runGameplay(int milliseconds) {
    updateObjects(milliseconds);
    removeKilledObjects();
    Ink::instance().update(milliseconds);
    applyMovement();
    clampToView();
    collisionPass();
    removeOffscreenObjects();

    double lead = -1.0;
    for (Player* player : {player1, player2}) {
        if (player != nullptr && !player->isDead()) {
            if (lead < 0.0 || player->position.x < lead) {
                lead = player->position.x;
            }
        }
    }
    level.update(lead);

    sortForDrawing();

    if (!allPlayersGone()) {
        return;
    }
    if (!isArcade()) {
        showDeathMenu();
        return;
    }
    if (continueCountdown < 1) {
        continueCountdown = ContinueTime;
    } else {
        continueCountdown -= milliseconds;
        if (continueCountdown < 1) {
            continueCountdown = 0;
            showMainMenu();
        }
    }
}

bool Game::allPlayersGone() const {
    for (const Player* player : {player1, player2}) {
        if (player != nullptr && !player->isGone()) {
            return false;
        }
    }
    return true;
}

int Game::playerCount() const { return (player1 != nullptr ? 1 : 0) + (player2 != nullptr ? 1 : 0); }

void Game::draw() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (backgroundShown) {
        drawBackground();
    } else if (!attract) {
        glPushMatrix();
        glTranslated(-level.scroll(), 0.0, 0.0);
        TextureManager::instance().unbind();
        level.drawWall();
        level.drawFloor();
        Ink::instance().draw();
        for (const std::unique_ptr<Object>& object : world) {
            object->draw();
        }
        glPopMatrix();
    }
    if (menu) {
        menu->draw();
    }
    Cutscene& cutscene = Cutscene::instance();
    if (cutscene.isPlaying()) {
        cutscene.draw();
    }
    if (attract) {
        attractHud->draw();
    }
    drawOnlineOverlay();
    glutSwapBuffers();
}

void Game::drawBackground() const {
    const OverlayMatrices overlay;
    glMatrixMode(GL_PROJECTION);
    glOrtho(0.0, windowWidth, 0.0, windowHeight, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    TextureManager::instance().bind(backgroundTexture);
    glColor3d(1.0, 1.0, 1.0);
    glBegin(GL_QUADS);
    glTexCoord2d(0, 0); glVertex2d(0, 0);
    glTexCoord2d(1, 0); glVertex2d(windowWidth, 0);
    glTexCoord2d(1, 1); glVertex2d(windowWidth, windowHeight);
    glTexCoord2d(0, 1); glVertex2d(0, windowHeight);
    glEnd();
}

void Game::reshape(int width, int height) {
    windowWidth = width;
    windowHeight = height;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, static_cast<double>(width) / (height == 0 ? 1 : height), 1.0, 100.0);
    glTranslated(0.0, -10.0, -20.0);
    glMatrixMode(GL_MODELVIEW);
}

void Game::startGame(bool withPlayer1, bool withPlayer2, const std::string& levelFile) {
    // The settings may have changed since the last game (an online game plays by the
    // host's settings and the session's own control codes).
    readControlMapping();
    menuNote.clear();
    InputSeam::instance().playStarting(levelFile, withPlayer1, withPlayer2);
    attract = false;
    clearWorld();
    Cutscene::instance().skip();
    levelName = levelFile;
    continueCountdown = 0;

    addObject(std::make_unique<CreditsHUD>());

    player1Joined = withPlayer1;
    player2Joined = withPlayer2;
    createPlayers();

    level.load(levelFile);
}

Player* Game::createPlayer(const Color& colour, const Vec3& where, int slot) {
    auto player = std::make_unique<Player>(colour);
    player->position = where;
    player->getHealthBar()->slot = slot;
    Player* const raw = player.get();
    addObject(std::move(player));
    return raw;
}

void Game::createPlayers() {
    const bool arcade = isArcade();
    if (player1Joined && player2Joined) {
        player1 = createPlayer(Player1Colour, Vec3(-5, 0, 0), 0);
        player2 = createPlayer(Player2Colour, Vec3(5, 0, 0), 1);
    } else if (player1Joined) {
        player1 = createPlayer(Player1Colour, Vec3(0, 0, 0), arcade ? 0 : 2);
    } else if (player2Joined) {
        // A lone second player wears the first player's colour.
        player2 = createPlayer(Player1Colour, Vec3(0, 0, 0), arcade ? 1 : 2);
    }
}

void Game::restartLevel() { startGame(player1Joined, player2Joined, levelName); }

void Game::advanceToNextLevel() {
    if (isArcade()) {
        player1Joined = player1 != nullptr && !player1->isDead();
        player2Joined = player2 != nullptr && !player2->isDead();
    }
    clearWorld();
    // The in-game HUD went with the old world; the new level needs its own.
    addObject(std::make_unique<CreditsHUD>());
    createPlayers();
    levelName = level.name();
    if (campaignLevel > 0) {
        ++campaignLevel;
        recordProgress();
    }
}

bool Game::isWatchingReplay() const {
    const InputSeam::Replacement* replacement = InputSeam::instance().getReplacement();
    return replacement != nullptr && replacement != online.get();
}

void Game::recordProgress() {
    // A replay watched, an arcade game or an online one (whose level the host chose) is
    // no campaign of this player's.
    if (campaignLevel < 1 || isArcade() || online || isWatchingReplay()) {
        return;
    }
    const int players = (player1Joined ? 1 : 0) + (player2Joined ? 1 : 0);
    const std::string problem = progress.levelStarted({players, campaignLevel, levelName});
    if (!problem.empty()) {
        showMenuNote(problem);
    }
}

void Game::startCampaign(bool withPlayer1, bool withPlayer2) {
    clearBackground();
    closeMenu();
    startGame(withPlayer1, withPlayer2, "level1.dat");
    campaignLevel = 1;
}

std::optional<CampaignProgress::Record> Game::continuePoint() const {
    if (isArcade()) {
        return std::nullopt;
    }
    const std::optional<CampaignProgress::Record> record = progress.resumable();
    // Data that lost the level since (an older installation) offers no Continue.
    if (!record || !std::ifstream("levels/" + record->levelFile)) {
        return std::nullopt;
    }
    return record;
}

void Game::continueCampaign() {
    const std::optional<CampaignProgress::Record> record = continuePoint();
    if (!record) {
        return;
    }
    clearBackground();
    closeMenu();
    startGame(true, record->players == 2, record->levelFile);
    campaignLevel = record->number;
    recordProgress();
}

void Game::changeSettings(const std::vector<PlayerConfig::Change>& changes) {
    playerConfig.setSaving(!isWatchingReplay());
    const std::string problem = playerConfig.set(changes);
    if (!problem.empty()) {
        showMenuNote(problem);
    }
}

void Game::showMainMenu() {
    InputSeam::instance().playEnding();
    closeMenu();
    campaignLevel = 0;
    if (isArcade()) {
        attract = true;
        attractShowStarts = Cutscene::instance().load("cutscenes/arcade.dat", Cutscene::Audience::Nobody);
    } else {
        menu = std::make_unique<MainMenu>();
        menu->buildItems();
        setBackground("mainmenu_bk");
        attract = false;
    }
    SoundManager::instance().playMusic("Punchout.ogg");
}

void Game::showPauseMenu() {
    if (isArcade()) {
        return;
    }
    closeMenu();
    menu = std::make_unique<PauseMenu>();
    menu->buildItems();
    setBackground("pausemenu_bk");
}

void Game::showDeathMenu() {
    closeMenu();
    menu = std::make_unique<DeathMenu>();
    menu->buildItems();
    setBackground("deathmenu_bk");
}

void Game::closeMenu() {
    menu.reset();
    menusUnder.clear();
}

void Game::openSubmenu(std::unique_ptr<Menu> next, const std::string& background) {
    if (menu) {
        menusUnder.emplace_back(std::move(menu), backgroundShown ? backgroundTexture : "");
    }
    menu = std::move(next);
    menu->buildItems();
    setBackground(background);
}

void Game::closeSubmenu() {
    if (menusUnder.empty()) {
        closeMenu();
        clearBackground();
        return;
    }
    menu = std::move(menusUnder.back().first);
    const std::string background = menusUnder.back().second;
    menusUnder.pop_back();
    if (background.empty()) {
        clearBackground();
    } else {
        setBackground(background);
    }
}

void Game::showControlsPage(std::function<void()> then) {
    if (online || isArcade() || dynamic_cast<ControlsPage*>(menu.get()) != nullptr) {
        return;
    }
    openSubmenu(std::make_unique<ControlsPage>(std::move(then)), ControlsPage::Background);
}

void Game::afterControlsIntro(std::function<void()> start) {
    if (!controlsIntro.due() || isWatchingReplay()) {
        start();
        return;
    }
    controlsIntro.shown();
    showControlsPage(std::move(start));
}

void Game::setBackground(const std::string& textureName) {
    backgroundShown = true;
    backgroundTexture = textureName;
}

void Game::clearBackground() { backgroundShown = false; }

void Game::quit() {
    std::cout.flush();
    std::exit(0);
}
