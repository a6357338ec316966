#include "core/Game.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "arcade/CoinClient.h"
#include "audio/SoundManager.h"
#include "characters/AnimationLibrary.h"
#include "characters/BodyLists.h"
#include "characters/Player.h"
#include "characters/StartupAnimations.h"
#include "core/FightView.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "net/OnlineSession.h"
#include "render/CreditsHUD.h"
#include "render/HealthBar.h"
#include "render/OverlayMatrices.h"
#include "render/TextureManager.h"
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
    fightView = std::make_unique<FightView>();
}

Game::~Game() {
    // Players are owned by the world; forget them before the world goes.
    player1 = nullptr;
    player2 = nullptr;
    world.clear();
}

bool Game::isArcade() const { return Settings::instance().getInt("arcade") != 0; }

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
    sinceAttack = std::min(MenuAttackGuard, sinceAttack + milliseconds);
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
    fightView->update(*this, milliseconds);

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
    } else if (!attract && !betweenScenes()) {
        glPushMatrix();
        glTranslated(-level.scroll(), 0.0, 0.0);
        TextureManager::instance().unbind();
        level.drawWall();
        level.drawFloor();
        Ink::instance().draw();
        fightView->drawFloor(*this);
        for (const std::unique_ptr<Object>& object : world) {
            object->draw();
        }
        fightView->drawAbove(*this);
        glPopMatrix();
        fightView->drawOverlay();
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

// A show whose next slide or next scene follows at once (the level's next cutscene, or
// its end) covers the level until then: a blank or fading slide shows the empty page,
// and so does the frame between one show's end and the tick that starts the next.
bool Game::betweenScenes() const {
    const Cutscene& show = Cutscene::instance();
    if (show.isPlaying() && !show.nextFrame().texture.empty()) {
        return true;
    }
    return level.sceneDue(playerCount());
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
    refreshControlMapping();
    InputSeam::instance().playStarting(levelFile, withPlayer1, withPlayer2);
    attract = false;
    clearWorld();
    Cutscene::instance().skip();
    levelName = levelFile;
    continueCountdown = 0;
    sinceAttack = MenuAttackGuard;

    addObject(std::make_unique<CreditsHUD>());

    player1Joined = withPlayer1;
    player2Joined = withPlayer2;
    createPlayers();
    fightView->levelStarted();

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
    fightView->levelStarted();
    levelName = level.name();
}

void Game::showMainMenu() {
    InputSeam::instance().playEnding();
    // An online game or a replay puts this machine's settings back as play ends; the
    // menu answers to this player's own keys again.
    readControlMapping();
    closeMenu();
    if (isArcade()) {
        attract = true;
        attractShowStarts = Cutscene::instance().load("cutscenes/arcade.dat", Cutscene::Audience::Nobody);
    } else {
        menu = std::make_unique<MainMenu>();
        menu->buildItems();
        guardMenuAgainstAttack();
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
    guardMenuAgainstAttack();
    setBackground("pausemenu_bk");
}

void Game::showDeathMenu() {
    closeMenu();
    menu = std::make_unique<DeathMenu>();
    menu->buildItems();
    guardMenuAgainstAttack();
    setBackground("deathmenu_bk");
}

void Game::closeMenu() { menu.reset(); }

void Game::setBackground(const std::string& textureName) {
    backgroundShown = true;
    backgroundTexture = textureName;
}

void Game::clearBackground() { backgroundShown = false; }

void Game::quit() {
    std::cout.flush();
    std::exit(0);
}
