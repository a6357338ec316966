#include "core/Game.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
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
#include "render/FramedPicture.h"
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

constexpr double kPi = 3.14159265358979323846;
// The camera's vertical field of view in a 4:3 window, in degrees, and half of it in radians.
constexpr double kFieldOfView = 60.0;
constexpr double kHalfFieldOfView = kFieldOfView / 2.0 * kPi / 180.0;

// How much the page is darkened where the window reaches beyond the play area.
constexpr double kMarginShade = 0.08;

// Outside the frame a level shows only its wall, floor and ink: the page there is shaded
// a little, so the line where figures come in reads as the edge of the stage rather than
// as a cut through the page.
void shadeMargins(const PictureFrame& frame) {
    if (frame.width() == frame.windowWidth() && frame.height() == frame.windowHeight()) {
        return;
    }
    const auto acrossWindow = [](double pixels, int side) { return 2.0 * pixels / side - 1.0; };
    const double left = acrossWindow(frame.left(), frame.windowWidth());
    const double right = acrossWindow(frame.left() + frame.width(), frame.windowWidth());
    const double bottom = acrossWindow(frame.bottom(), frame.windowHeight());
    const double top = acrossWindow(frame.bottom() + frame.height(), frame.windowHeight());
    const double bands[4][4] = {{-1.0, left, -1.0, 1.0}, {right, 1.0, -1.0, 1.0},
                                {left, right, -1.0, bottom}, {left, right, top, 1.0}};
    const OverlayMatrices overlay;
    glDisable(GL_DEPTH_TEST);
    TextureManager::instance().unbind();
    glColor4d(0.0, 0.0, 0.0, kMarginShade);
    glBegin(GL_QUADS);
    for (const auto& band : bands) {
        glVertex2d(band[0], band[2]);
        glVertex2d(band[1], band[2]);
        glVertex2d(band[1], band[3]);
        glVertex2d(band[0], band[3]);
    }
    glEnd();
    glEnable(GL_DEPTH_TEST);
}

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

std::unique_ptr<Game> Game::create() { return std::unique_ptr<Game>(new Game()); }

void Game::swapInstance(std::unique_ptr<Game>& other) { gameHolder().swap(other); }

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
    player1.reset();
    player2.reset();
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

bool Game::isInPlay() const {
    return !menu && !match.cutscene.isPlaying() && !attract && !backgroundShown && !isWaitingForPeer();
}

void Game::runTick(int milliseconds) {
    InputSeam& seam = InputSeam::instance();
    seam.tickStarting();
    sinceAttack = std::min(MenuAttackGuard, sinceAttack + milliseconds);
    coinClient->poll();
    attractHud->update(milliseconds);

    worldMoved = false;
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
        rememberTickStart();
        runGameplay(milliseconds);
        worldMoved = true;
    }
    seam.tickEnded();
}

void Game::runGameplay(int milliseconds) {
    if (match.checkpointDue) {
        takeCheckpoint();
    }
    updateObjects(milliseconds);
    removeKilledObjects();
    Ink::instance().update(milliseconds);
    applyMovement();
    clampToView();
    collisionPass();
    removeOffscreenObjects();

    double lead = -1.0;
    for (Player* player : {getPlayer1(), getPlayer2()}) {
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

void Game::rememberTickStart() {
    ++gameplayTicks;
    level.rememberTickStart();
    for (const std::unique_ptr<Object>& object : world) {
        object->rememberTickStart(gameplayTicks);
    }
}

bool Game::allPlayersGone() const {
    for (const Player* player : {getPlayer1(), getPlayer2()}) {
        if (player != nullptr && !player->isGone()) {
            return false;
        }
    }
    return true;
}

Player* Game::getPlayer1() const { return player1.get(); }

Player* Game::getPlayer2() const { return player2.get(); }

int Game::playerCount() const { return (getPlayer1() != nullptr ? 1 : 0) + (getPlayer2() != nullptr ? 1 : 0); }

void Game::draw(double blend) {
    drawPicture(blend);
    glutSwapBuffers();
}

// The level's backdrop and ink fill the whole window, seen by a camera as much wider (or
// taller) than the 4:3 one as the window is; everything else is drawn in the frame.
void Game::drawPicture(double blend) {
    frameBlend = blend;
    const PictureFrame frame = pictureFrame();
    frame.useWindow();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (backgroundShown) {
        drawBackground(frame);
    } else if (!attract && !betweenScenes()) {
        drawLevel(frame);
    }
    frame.useFrame();
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
    InputSeam::instance().drawOverlay();
    frame.useWindow();
}

// Figures are drawn in the frame only: the play area is the 4:3 one whatever the
// window, so a figure coming in at its edge must not be seen standing in the margin first.
void Game::drawLevel(const PictureFrame& frame) {
    const double shownScroll = level.drawnScroll(worldMoved ? frameBlend : 1.0);
    viewScroll = shownScroll;
    const Level::ViewSpread spread{std::tan(kHalfFieldOfView) * frame.heightRatio() * frame.windowAspect(),
                                   std::tan(kHalfFieldOfView) * frame.heightRatio()};
    loadCamera(frame, true);
    glPushMatrix();
    glTranslated(-shownScroll, 0.0, 0.0);
    TextureManager::instance().unbind();
    level.drawWall(spread);
    level.drawFloor(spread);
    Ink::instance().draw(worldMoved ? frameBlend : 1.0);
    shadeMargins(frame);

    frame.useFrame();
    loadCamera(frame, false);
    fightView->drawFloor(*this);
    for (const std::unique_ptr<Object>& object : world) {
        object->draw();
    }
    fightView->drawAbove(*this);
    glPopMatrix();
    fightView->drawOverlay();
    viewScroll.reset();
    frame.useWindow();
    loadCamera(frame, true);
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

void Game::drawBackground(const PictureFrame& frame) const {
    // The menu pictures are stored upside down.
    const FramedPicture picture(frame);
    TextureManager::instance().bind(backgroundTexture);
    glColor3d(1.0, 1.0, 1.0);
    picture.draw(0.0, 1.0);
}

double Game::drawBlend(unsigned tick) const { return worldMoved && tick == gameplayTicks ? frameBlend : 1.0; }

void Game::reshape(int width, int height) {
    windowWidth = width;
    windowHeight = height;
    const PictureFrame frame = pictureFrame();
    frame.useWindow();
    loadCamera(frame, true);
}

// In a window as wide as 4:3 or wider the camera keeps its 60 degrees from top to bottom
// and sees more at the sides; in a narrower one it keeps the 4:3 width and sees more of
// the wall above and the floor below.
void Game::loadCamera(const PictureFrame& frame, bool wholeWindow) const {
    double fieldOfView = kFieldOfView;
    double aspect = frame.frameAspect();
    if (wholeWindow) {
        aspect = frame.windowAspect();
        if (frame.heightRatio() != 1.0) {
            fieldOfView = 2.0 * std::atan(std::tan(kHalfFieldOfView) * frame.heightRatio()) * 180.0 / kPi;
        }
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, aspect, 1.0, 100.0);
    glTranslated(0.0, -10.0, -20.0);
    glMatrixMode(GL_MODELVIEW);
}

Match Game::snapshot() const {
    Match copy(match);
    copy.credits = coinClient->getCredits();
    return copy;
}

void Game::restore(const Match& saved) {
    bringBack(saved);
    coinClient->restoreCredits(saved.credits);
}

void Game::bringBack(const Match& saved) {
    const std::vector<std::string> shownBefore = match.cutscene.loadedTextureNames();
    const std::string musicBefore = match.music;
    ++worldEdits;
    match = saved;
    match.cutscene.resumeAfter(shownBefore);
    if (match.music != musicBefore && !match.music.empty()) {
        SoundManager::instance().playMusic(match.music);
    }
}

void Game::markCheckpoint() { match.checkpointDue = true; }

void Game::takeCheckpoint() {
    match.checkpointDue = false;
    if (isArcade()) {
        return;
    }
    auto point = std::make_shared<Match>(match);
    point->checkpoint.reset();
    match.checkpoint = std::move(point);
}

void Game::retryFromCheckpoint() {
    const std::shared_ptr<const Match> point = match.checkpoint;
    if (!point) {
        restartLevel();
        clearBackground();
        closeMenu();
        return;
    }
    // What the player holds down now, not what was held then.
    const std::array<bool, ControlCount> held = controlHeld;
    const std::array<Match::StickAxes, 2> sticks = stick;
    bringBack(*point);
    match.checkpoint = point;
    controlHeld = held;
    stick = sticks;
    for (Player* player : {getPlayer1(), getPlayer2()}) {
        if (player == nullptr) {
            continue;
        }
        if (player->isDead()) {
            player->respawn();
        } else {
            player->setHealth(player->getMaxHealth());
        }
    }
}

void Game::playMusic(const std::string& file) {
    match.music = file;
    SoundManager::instance().playMusic(file);
}

void Game::startGame(bool withPlayer1, bool withPlayer2, const std::string& levelFile) {
    // The settings may have changed since the last game (an online game plays by the
    // host's settings and the session's own control codes).
    refreshControlMapping();
    menuNote.clear();
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
    markCheckpoint();
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
        const Player* const first = getPlayer1();
        const Player* const second = getPlayer2();
        player1Joined = first != nullptr && !first->isDead();
        player2Joined = second != nullptr && !second->isDead();
    }
    clearWorld();
    // The in-game HUD went with the old world; the new level needs its own.
    addObject(std::make_unique<CreditsHUD>());
    createPlayers();
    fightView->levelStarted();
    levelName = level.name();
    markCheckpoint();
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
    // An online game or a replay puts this machine's settings back as play ends; the
    // menu answers to this player's own keys again.
    readControlMapping();
    closeMenu();
    campaignLevel = 0;
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
    playMusic("Punchout.ogg");
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
