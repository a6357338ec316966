#include "world/Level.h"

#include <GL/gl.h>

#include <algorithm>
#include <iostream>
#include <memory>

#include "characters/Boss.h"
#include "characters/Enemy.h"
#include "core/ConsoleProblems.h"
#include "core/DataFileName.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "core/TextFile.h"
#include "render/TextureManager.h"
#include "ui/Cutscene.h"
#include "world/Head.h"
#include "world/Health.h"
#include "world/Ink.h"
#include "world/Obstacle.h"
#include "world/Stick.h"

namespace {

// Read at every load, so each level starts with the current view offsets.
float xOffsetSetting() { return Settings::instance().getFloatWithin("x_offset", limits::distance); }
float zOffsetSetting() { return Settings::instance().getFloatWithin("z_offset", limits::distance); }

constexpr double kScrollStep = 0.25;
constexpr double kEyeZ = 20.0;
constexpr double kEyeHeight = 10.0;
// The backdrop as a 4:3 window sees it: 80 units of wall, 50 high, the floor reaching
// 5 units in front of the play area.
constexpr double kBackdropHalfWidth = 40.0;
constexpr double kPictureRepeat = 40.0;
constexpr double kWallHeight = 50.0;
constexpr double kFloorFront = 5.0;
// Nearer than this the floor would cross the camera's near plane.
constexpr double kNearestFloor = kEyeZ - 1.5;
// Beyond what the view needs, so a view drawn part way between two ticks never shows an edge.
constexpr double kBackdropSpare = 1.0;
constexpr int kBossType = 4;
constexpr uint32_t kLastEnemyKind = 3;
constexpr uint32_t kNoWeapon = 0;
constexpr uint32_t kStickWeapon = 1;
constexpr uint32_t kHeadWeapon = 2;
const Color kEnemyWeaponColour(0.0, 0.0, 0.0, 1.0);

std::unique_ptr<Enemy> makeEnemy(uint32_t type) {
    if (type == kBossType) {
        return std::make_unique<Boss>();
    }
    return std::make_unique<Enemy>(type <= kLastEnemyKind ? static_cast<int>(type) : 0);
}

std::unique_ptr<Object> makeItem(int32_t type) {
    switch (type) {
    case 1:
        return std::make_unique<SmallHealth>();
    case 2:
        return std::make_unique<MediumHealth>();
    case 3:
        return std::make_unique<LargeHealth>();
    default:
        return nullptr;
    }
}

}  // namespace

const Level::ViewSpread Level::FourByThree{0.57735026918962576 * 4.0 / 3.0, 0.57735026918962576};

bool Level::load(const std::string& newName) {
    levelName = newName;
    const std::string path = "levels/" + levelName;
    // A name from a replay, a peer or a level file opens nothing but a level file.
    if (!DataFileName::isLevelName(levelName) || !DataFileName::isRegularFileInside(path)) {
        std::cerr << "Failed to load " << DataFileName::printable(levelName) << "\n";
        return false;
    }
    ConsoleProblems console;
    TextFile file(path, console);
    if (!file.isOpen()) {
        std::cerr << "Failed to load " << levelName << "\n";
        return false;
    }
    script.clear();
    scrollPosition = 0.0;
    tickStartScroll = 0.0;
    Ink::instance().clear();
    script.read(file, levelName);
    xOffset = xOffsetSetting();
    zOffset = zOffsetSetting();
    return true;
}

void Level::update(double lead) {
    // Obstacles and pickups appear ahead of the view as it was at the start of the tick.
    const double spawnEdge = xOffset * 4.0 + scrollPosition;
    releaseStop();
    reachStops(lead);
    spawnEnemies(lead);
    advanceScroll(lead);
    placeObstacles(spawnEdge);
    placeItems(spawnEdge);
    if (startCutscene()) {
        return;
    }
    changeMusic();
    finishIfAtEnd();
}

void Level::releaseStop() {
    if (stopped && Game::instance().noLivingEnemies()) {
        stopped = false;
        Game::instance().markCheckpoint();
    }
}

void Level::reachStops(double lead) {
    while (!script.stops.empty() && script.stops.front() <= lead) {
        stopped = true;
        script.stops.pop_front();
    }
}

// An enemy due beyond either limit stays first in line, so it comes in on a later tick:
// a level that asks too much is slowed down, never cut short.
void Level::spawnEnemies(double lead) {
    if (script.enemies.empty() || !(script.enemies.front().triggerX <= lead)) {
        return;
    }
    Game& game = Game::instance();
    const Game::World& world = game.getWorld();
    int living = static_cast<int>(std::count_if(world.begin(), world.end(), [](const std::unique_ptr<Object>& o) {
        const auto* enemy = dynamic_cast<const Enemy*>(o.get());
        return enemy != nullptr && !enemy->isDead();
    }));
    int arrived = 0;
    while (!script.enemies.empty() && script.enemies.front().triggerX <= lead) {
        if (arrived == LevelScript::EnemiesAtOnce || living >= LevelScript::LivingEnemies) {
            return;
        }
        const EnemyEntry entry = script.enemies.front();
        script.enemies.pop_front();
        if (entry.minPlayers > game.playerCount()) {
            continue;
        }
        ++arrived;
        ++living;
        std::unique_ptr<Enemy> enemy = makeEnemy(entry.type);
        const double distance = kEyeZ - entry.z;
        const double x = entry.side == 0 ? leftEdge(distance) : rightEdge(distance);
        enemy->position = Vec3(x, 0.0, entry.z);
        enemy->setFacingLeft(entry.side != 0);
        if (auto* boss = dynamic_cast<Boss*>(enemy.get())) {
            boss->setAppearance(script.boss);
        }
        Enemy* const figure = enemy.get();
        game.addObject(std::move(enemy));

        if (entry.weapon == kStickWeapon) {
            figure->takeWeapon(std::make_unique<Stick>(kEnemyWeaponColour));
        } else if (entry.weapon == kHeadWeapon) {
            figure->takeWeapon(std::make_unique<Head>(kEnemyWeaponColour));
        } else if (entry.weapon != kNoWeapon) {
            std::cout << "Unknown weapon for enemy: " << entry.weapon << "\n";
        }
    }
}

void Level::advanceScroll(double lead) {
    if (stopped || !(scrollPosition < lead)) {
        return;
    }
    scrollPosition += kScrollStep;
    if (scrollPosition > lead) {
        scrollPosition = lead;
    }
}

void Level::placeObstacles(double spawnEdge) {
    while (!script.obstacles.empty() && script.obstacles.front().x <= spawnEdge) {
        const ObstacleEntry& entry = script.obstacles.front();
        auto obstacle = std::make_unique<Obstacle>(entry.texture, entry.radius, entry.width,
                                                   entry.height, entry.contents);
        obstacle->position = Vec3(entry.x, 0.0, entry.z);
        Game::instance().addObject(std::move(obstacle));
        script.obstacles.pop_front();
    }
}

void Level::placeItems(double spawnEdge) {
    while (!script.items.empty() && script.items.front().x <= spawnEdge) {
        const ItemEntry& entry = script.items.front();
        std::unique_ptr<Object> item = makeItem(entry.type);
        if (item) {
            item->position = Vec3(entry.x, 0.0, entry.z);
            Game::instance().addObject(std::move(item));
        } else {
            std::cout << "Unknown item type: " << entry.type << std::endl;
        }
        script.items.pop_front();
    }
}

bool Level::startCutscene() {
    while (!script.cutscenes.empty() && script.cutscenes.front().x <= scrollPosition) {
        const CutsceneEntry entry = script.cutscenes.front();
        script.cutscenes.pop_front();
        if (entry.players == Game::instance().playerCount()) {
            Cutscene::instance().load(entry.file);
            return true;
        }
    }
    return false;
}

bool Level::sceneDue(int players) const {
    for (const CutsceneEntry& entry : script.cutscenes) {
        if (!(entry.x <= scrollPosition)) {
            break;
        }
        if (entry.players == players) {
            return true;
        }
    }
    return script.endPosition <= scrollPosition;
}

void Level::changeMusic() {
    if (!script.music.empty() && script.music.front().x <= scrollPosition) {
        Game::instance().playMusic(script.music.front().file);
        script.music.pop_front();
    }
}

void Level::finishIfAtEnd() {
    if (!(script.endPosition <= scrollPosition)) {
        return;
    }
    Game& game = Game::instance();
    const std::string next = script.nextLevel;
    // A missing next level ends the game like a last level would; carrying on would
    // retry the load and rebuild the players on every tick.
    if (next.empty() || !load(next)) {
        game.showMainMenu();
        return;
    }
    game.advanceToNextLevel();
}

// A name that no list registered is read as a picture file under images/, once; a missing
// file reports like any texture and draws as the checkerboard. Levels that name nothing
// draw "background" exactly as before, registered or not.
void Level::bindBackground() const {
    TextureManager& textures = TextureManager::instance();
    if (script.background.empty()) {
        textures.bind("background");
        return;
    }
    if (!textures.contains(script.background)) {
        textures.load(script.background, script.background);
    }
    textures.bind(script.background);
}

double Level::backdropHalfWidth(const ViewSpread& spread) const {
    return std::max(kBackdropHalfWidth, (kEyeZ + zOffset) * spread.across + kBackdropSpare);
}

double Level::wallTop(const ViewSpread& spread) const {
    return std::max(kWallHeight, kEyeHeight + (kEyeZ + zOffset) * spread.up + kBackdropSpare);
}

// The picture repeats every 40 units along the wall and runs from its top row at the
// wall's full height to its bottom row at the floor, so a wall that reaches further
// shows more of the same page.
void Level::drawWall(const ViewSpread& spread) const {
    const double halfWidth = backdropHalfWidth(spread);
    const double left = scrollPosition - halfWidth;
    const double right = scrollPosition + halfWidth;
    const double top = wallTop(spread);
    const double z = -zOffset;
    const auto s = [](double x) { return x / kPictureRepeat; };
    const auto t = [](double y) { return 1.0 - y / kWallHeight; };
    bindBackground();
    glColor4d(1.0, 1.0, 1.0, 1.0);
    glBegin(GL_QUADS);
    glTexCoord2d(s(left), t(0.0));
    glVertex3d(left, 0.0, z);
    glTexCoord2d(s(right), t(0.0));
    glVertex3d(right, 0.0, z);
    glTexCoord2d(s(right), t(top));
    glVertex3d(right, top, z);
    glTexCoord2d(s(left), t(top));
    glVertex3d(left, top, z);
    glEnd();
}

// The picture's top row lies along the wall and its bottom row 5 units in front of the
// play area; a narrow window's camera looks down further and sees the floor run on.
void Level::drawFloor(const ViewSpread& spread) const {
    const double halfWidth = backdropHalfWidth(spread);
    const double left = scrollPosition - halfWidth;
    const double right = scrollPosition + halfWidth;
    const double y = -0.01f;
    const double back = -zOffset;
    const double front =
        std::clamp(kEyeZ - kEyeHeight / spread.up + kBackdropSpare, kFloorFront, kNearestFloor);
    const auto s = [](double x) { return x / kPictureRepeat; };
    const auto t = [back](double z) { return (z - back) / (kFloorFront - back); };
    bindBackground();
    glColor4d(1.0, 1.0, 1.0, 1.0);
    glBegin(GL_QUADS);
    glTexCoord2d(s(left), t(back));
    glVertex3d(left, y, back);
    glTexCoord2d(s(right), t(back));
    glVertex3d(right, y, back);
    glTexCoord2d(s(right), t(front));
    glVertex3d(right, y, front);
    glTexCoord2d(s(left), t(front));
    glVertex3d(left, y, front);
    glEnd();
}
