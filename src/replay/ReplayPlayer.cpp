#include "replay/ReplayPlayer.h"

#include <iostream>

#include "arcade/CoinClient.h"
#include "core/Game.h"

namespace {

constexpr int kEscape = 27;

using Kind = ReplayFile::Record::Kind;

}  // namespace

ReplayPlayer::ReplayPlayer(const ReplayFile& recorded, std::string replayName, bool announceDifferences)
    : replay(recorded), name(std::move(replayName)), announce(announceDifferences), settings(recorded) {}

ReplayPlayer::~ReplayPlayer() { release(); }

const ReplayFile::Record* ReplayPlayer::due() {
    if (!next && records && !unreadable) {
        ReplayFile::Record record;
        if (records->next(record)) {
            // The end record's contents came with the header.
            if (record.kind != Kind::End) next = std::move(record);
        } else if (!records->error().empty()) {
            unreadable = true;
            differs("the replay can no longer be read: " + records->error());
        }
    }
    return next ? &*next : nullptr;
}

void ReplayPlayer::begin() {
    records = std::make_unique<ReplayReader>(replay);
    InputSeam& seam = InputSeam::instance();
    seam.setReplacement(this);
    Game& game = Game::instance();
    // The count the coin client held when the recorded game began.
    game.getCoinClient()->poll();
    game.restoreControls(replay.controls);
    game.clearBackground();
    game.closeMenu();
    game.startGame(replay.start.player1, replay.start.player2, replay.start.levelFile);
    if (!replay.endedInMenu && replay.endTick == 0) {
        compare(replay.endDigest);
        stop();
    }
}

ReplayPlayer::Bookmark ReplayPlayer::mark() const {
    return {Game::instance().snapshot(), ticks, records->place(), next, unreadable};
}

void ReplayPlayer::returnTo(const Bookmark& bookmark) {
    if (finished) return;
    Game::instance().restore(bookmark.match);
    ticks = bookmark.ticks;
    next = bookmark.next;
    unreadable = bookmark.unreadable;
    if (!records->returnTo(bookmark.place)) {
        unreadable = true;
        differs("the replay can no longer be read: " + records->error());
    }
}

void ReplayPlayer::release() {
    InputSeam& seam = InputSeam::instance();
    if (seam.getReplacement() == this) seam.setReplacement(nullptr);
}

void ReplayPlayer::stop() {
    finish();
    release();
    Game::instance().showMainMenu();
}

void ReplayPlayer::finish() {
    if (finished) return;
    finished = true;
    settings.restore();
    if (!announce) return;
    std::cout << name << ": replay finished after " << ticks << " ticks: "
              << (firstDifferenceTick < 0 ? "matches" : "differs at tick " + std::to_string(firstDifferenceTick))
              << "\n";
}

void ReplayPlayer::playStarted(const InputSeam::PlayStart&) { started = true; }

void ReplayPlayer::tickStarting() {
    // A coin count waits for its poll, which comes with a key press or the tick's update.
    for (const ReplayFile::Record* record = due();
         !finished && record != nullptr && record->kind == Kind::Input && record->tick == ticks &&
         record->event.kind != InputEvent::Kind::Credits;
         record = due()) {
        const InputEvent event = record->event;
        next.reset();
        InputSeam::instance().deliver(event);
    }
}

int ReplayPlayer::credits(int poll, int held) {
    if (!started) return replay.credits;
    const ReplayFile::Record* record = due();
    if (record != nullptr && record->kind == Kind::Input && record->tick == ticks &&
        record->event.kind == InputEvent::Kind::Credits && record->event.device == poll) {
        const int count = record->event.code;
        next.reset();
        return count;
    }
    return held;
}

void ReplayPlayer::tickEnded() {
    if (finished) return;
    ++ticks;
    // Input of a finished tick that no poll took belongs to no later tick.
    for (const ReplayFile::Record* record = due(); record != nullptr && record->tick < ticks; record = due()) {
        next.reset();
    }
    const ReplayFile::Record* record = due();
    if (record != nullptr && record->kind == Kind::Digest && record->tick == ticks) {
        const StateDigest digest = record->digest;
        next.reset();
        compare(digest);
    }
    if (unreadable) {
        stop();
    } else if (ticks == replay.endTick && !replay.endedInMenu) {
        // The program ended after this tick; what came in before it ended counts too.
        tickStarting();
        compare(replay.endDigest);
        stop();
    } else if (ticks > replay.endTick) {
        differs("the recorded game ended at tick " + std::to_string(replay.endTick) + " but this one goes on");
        stop();
    }
}

void ReplayPlayer::playEnded() {
    if (finished) return;
    if (ticks != replay.endTick) {
        differs("the game ended at tick " + std::to_string(ticks) + " but the recorded one at tick " +
                std::to_string(replay.endTick));
    } else {
        compare(replay.endDigest);
    }
    finish();
    release();
}

void ReplayPlayer::liveKey(int key, bool down) {
    if (down && key == kEscape && !finished) {
        if (announce) std::cout << name << ": replay stopped at tick " << ticks << "\n";
        finished = true;
        stop();
    }
}

void ReplayPlayer::compare(const StateDigest& recorded) {
    ++compared;
    const std::string difference = StateDigest::of(Game::instance()).firstDifference(recorded);
    if (!difference.empty()) differs(difference);
}

void ReplayPlayer::differs(const std::string& what) {
    if (firstDifferenceTick >= 0) return;
    firstDifferenceTick = ticks;
    firstDifference = what;
    if (announce) {
        std::cout << name << ": differs at tick " << ticks << ": " << what << "\n";
    }
}
