#include "replay/StateDigest.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "arcade/CoinClient.h"
#include "characters/AttackerTally.h"
#include "characters/Boss.h"
#include "characters/Enemy.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "render/CreditsHUD.h"
#include "render/HealthBar.h"
#include "ui/Cutscene.h"
#include "ui/DeathMenu.h"
#include "ui/MainMenu.h"
#include "ui/PauseMenu.h"
#include "world/Head.h"
#include "world/Health.h"
#include "world/Obstacle.h"
#include "world/Stick.h"

namespace {

// 64-bit FNV-1a over the bytes of each value, shown as its low 32 bits.
class Hasher {
public:
    template <typename T>
    Hasher& operator<<(const T& value) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (const unsigned char byte : bytes) {
            hash = (hash ^ byte) * 1099511628211ull;
        }
        return *this;
    }
    Hasher& operator<<(const std::string& text) {
        *this << text.size();
        for (const char c : text) *this << c;
        return *this;
    }
    Hasher& operator<<(const Vec3& v) { return *this << v.x << v.y << v.z; }
    uint32_t value() const { return static_cast<uint32_t>(hash ^ (hash >> 32)); }

private:
    uint64_t hash = 14695981039346656037ull;
};

// Objects point at each other; a pointer is digested as the target's place in the world.
using Places = std::map<const Object*, int>;

int placeOf(const Places& places, const Object* object) {
    if (object == nullptr) return -1;
    const auto found = places.find(object);
    return found != places.end() ? found->second : -2;
}

const char* kindOf(const Object& object) {
    if (dynamic_cast<const Boss*>(&object)) return "Boss";
    if (dynamic_cast<const Enemy*>(&object)) return "Enemy";
    if (dynamic_cast<const Player*>(&object)) return "Player";
    if (dynamic_cast<const Head*>(&object)) return "Head";
    if (dynamic_cast<const Stick*>(&object)) return "Stick";
    if (dynamic_cast<const Obstacle*>(&object)) return "Obstacle";
    if (dynamic_cast<const Health*>(&object)) return "Health";
    if (dynamic_cast<const HealthBar*>(&object)) return "HealthBar";
    if (dynamic_cast<const CreditsHUD*>(&object)) return "HUD";
    return "Object";
}

void digestObject(Hasher& h, const Object& object, const Places& places);

void digestFigure(Hasher& h, const StickFigure& figure, const Places& places) {
    h << static_cast<int>(figure.getFigureState()) << figure.isFacingLeft() << figure.getHealth()
      << figure.getMaxHealth() << figure.getHitCooldown() << figure.getFall() << figure.isCarriedAsBazooka()
      << figure.isBeingRipped() << placeOf(places, figure.getGrabTarget()) << figure.getCandidates().size();
    const StickFigModel& model = figure.getModel();
    for (const float joint : model.getPose()) h << joint;
    for (int limb = 0; limb < LimbCount; ++limb) {
        h << model.isAttached(static_cast<Limb>(limb)) << model.bleedTime(static_cast<Limb>(limb));
    }
    const AnimationPlayer& animation = model.animationPlayer();
    h << animation.animationName() << animation.isPlaying() << animation.isLooping() << animation.elapsed()
      << animation.currentFrame();
    if (const Object* held = figure.heldWeapon()) {
        h << std::string(kindOf(*held));
        digestObject(h, *held, places);
    }
    if (const auto* enemy = dynamic_cast<const Enemy*>(&figure)) {
        h << enemy->getKind() << enemy->getState() << placeOf(places, enemy->getTarget()) << enemy->getSpeedFactor()
          << enemy->getWeaponChance() << enemy->getBodyChance() << enemy->getStartDelay() << enemy->isWaiting()
          << enemy->getDetourSide();
    }
    if (const auto* boss = dynamic_cast<const Boss*>(&figure)) {
        h << boss->getSpawnInterval() << boss->getSpawnCount() << boss->getSpawnTimer()
          << boss->getDissolveCountdown();
    }
    if (const auto* player = dynamic_cast<const Player*>(&figure)) {
        h << player->getNearbyParts();
    }
}

void digestObject(Hasher& h, const Object& object, const Places& places) {
    h << object.position << object.removed << object.drawLast;
    if (const auto* figure = dynamic_cast<const StickFigure*>(&object)) {
        digestFigure(h, *figure, places);
    } else if (const auto* head = dynamic_cast<const Head*>(&object)) {
        h << head->isFlying() << head->isShot() << head->throwsLeft() << head->getVelocity();
    } else if (const auto* stick = dynamic_cast<const Stick*>(&object)) {
        h << stick->isSwinging() << stick->swingsLeft();
    } else if (const auto* obstacle = dynamic_cast<const Obstacle*>(&object)) {
        h << obstacle->isBroken() << obstacle->getContents() << obstacle->getRadius();
    } else if (const auto* health = dynamic_cast<const Health*>(&object)) {
        h << health->amount();
    }
}

const char* menuKind(const Menu* menu) {
    if (menu == nullptr) return "none";
    if (dynamic_cast<const MainMenu*>(menu)) return "main";
    if (dynamic_cast<const PauseMenu*>(menu)) return "pause";
    if (dynamic_cast<const DeathMenu*>(menu)) return "death";
    return "other";
}

}  // namespace

StateDigest StateDigest::of(const Game& game) {
    Places places;
    int place = 0;
    for (const std::unique_ptr<Object>& object : game.getWorld()) {
        places[object.get()] = place++;
    }

    StateDigest digest;
    Hasher controller;
    const Game::ControlState controls = game.controlState();
    for (const bool held : controls.held) controller << held;
    for (const double value : controls.sticks) controller << value;
    const Menu* menu = game.getMenu();
    controller << placeOf(places, game.getPlayer1()) << placeOf(places, game.getPlayer2()) << game.getLevelName()
               << std::string(menuKind(menu)) << (menu != nullptr ? menu->selectedIndex() : 0u)
               << game.isBackgroundShown() << game.isAttract() << game.getContinueCountdown()
               << game.getCoinClient()->getCredits() << Cutscene::instance().isPlaying()
               << AttackerTally::instance().count(0) << AttackerTally::instance().count(1);
    digest.partList.push_back({"game", controller.value()});

    const Level& level = game.getLevel();
    const LevelScript& script = level.remaining();
    Hasher levelHash;
    levelHash << level.scroll() << level.isStopped() << level.name() << script.nextLevel << script.endPosition
              << script.enemies.size() << script.obstacles.size() << script.stops.size() << script.items.size()
              << script.cutscenes.size() << script.music.size();
    digest.partList.push_back({"level", levelHash.value()});

    for (const std::unique_ptr<Object>& object : game.getWorld()) {
        Hasher h;
        digestObject(h, *object, places);
        digest.partList.push_back({kindOf(*object), h.value()});
    }
    return digest;
}

std::string StateDigest::firstDifference(const StateDigest& recorded) const {
    // Objects first: a wrong controller or level shows up in them, and an object says more.
    const std::size_t common = std::min(partList.size(), recorded.partList.size());
    for (std::size_t i = 2; i < common; ++i) {
        const Part& now = partList[i];
        const Part& then = recorded.partList[i];
        if (now == then) continue;
        const std::string where = "object " + std::to_string(i - 2);
        return now.name == then.name ? where + " (" + then.name + ")"
                                     : where + " is a " + now.name + " where the recording has a " + then.name;
    }
    if (partList.size() != recorded.partList.size()) {
        return std::to_string(partList.size() - 2) + " objects where the recording has " +
               std::to_string(recorded.partList.size() - 2);
    }
    for (std::size_t i = 0; i < 2 && i < common; ++i) {
        if (!(partList[i] == recorded.partList[i])) return "the " + recorded.partList[i].name + " state";
    }
    return "";
}

std::string StateDigest::toText() const {
    std::string text;
    char hex[9];
    for (const Part& part : partList) {
        std::snprintf(hex, sizeof hex, "%08x", part.hash);
        if (!text.empty()) text += ' ';
        text += part.name + "=" + hex;
    }
    return text;
}

bool StateDigest::parse(const std::vector<std::string>& words, StateDigest& digest) {
    digest.partList.clear();
    for (const std::string& word : words) {
        const std::string::size_type equals = word.find('=');
        if (equals == std::string::npos || equals == 0 || word.size() - equals - 1 != 8) return false;
        const std::string hex = word.substr(equals + 1);
        if (hex.find_first_not_of("0123456789abcdef") != std::string::npos) return false;
        digest.partList.push_back({word.substr(0, equals), static_cast<uint32_t>(std::stoul(hex, nullptr, 16))});
    }
    return digest.partList.size() >= 2 && digest.partList[0].name == "game" && digest.partList[1].name == "level";
}
