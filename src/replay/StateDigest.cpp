#include "replay/StateDigest.h"

#include <cstdio>
#include <memory>

#include "arcade/CoinClient.h"
#include "characters/AttackerTally.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "ui/Cutscene.h"
#include "ui/Menu.h"
#include "world/StateHasher.h"

StateDigest StateDigest::of(const Game& game) {
    StateHasher::Places places;
    int place = 0;
    for (const std::unique_ptr<Object>& object : game.getWorld()) {
        places[object.get()] = place++;
    }

    StateDigest digest;
    StateHasher controller(places);
    const Game::ControlState controls = game.controlState();
    for (const bool held : controls.held) controller << held;
    for (const double value : controls.sticks) controller << value;
    const Menu* menu = game.getMenu();
    controller << controller.placeOf(game.getPlayer1()) << controller.placeOf(game.getPlayer2()) << game.getLevelName()
               << std::string(menu != nullptr ? menu->digestName() : "none") << (menu != nullptr ? menu->selectedIndex() : 0u)
               << game.isBackgroundShown() << game.isAttract() << game.getContinueCountdown()
               << game.getCoinClient()->getCredits() << Cutscene::instance().isPlaying()
               << AttackerTally::instance().count(0) << AttackerTally::instance().count(1);
    digest.partList.push_back({"game", controller.value()});

    const Level& level = game.getLevel();
    const LevelScript& script = level.remaining();
    StateHasher levelHash(places);
    levelHash << level.scroll() << level.isStopped() << level.name() << script.nextLevel << script.endPosition
              << script.enemies.size() << script.obstacles.size() << script.stops.size() << script.items.size()
              << script.cutscenes.size() << script.music.size();
    digest.partList.push_back({"level", levelHash.value()});

    for (const std::unique_ptr<Object>& object : game.getWorld()) {
        StateHasher h(places);
        object->digest(h);
        digest.partList.push_back({object->digestName(), h.value()});
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
