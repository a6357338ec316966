#pragma once

#include <string>

#include "world/LevelScript.h"

// The level script of one stretch of the world: what comes in where, where the view
// stops, and what follows. Lives inside Game for the whole run; load reuses it.
// The geometry answers (edges, depth limits) describe the visible play area at the
// current scroll position.
class Level {
public:
    Level() = default;

    // Reads "levels/" + levelName; false (and nothing but the name changed) when the file
    // cannot be opened.
    bool load(const std::string& levelName);
    // Once per gameplay tick with the smallest x of the living players, or -1.
    void update(double lead);

    // How far the camera sees: the tangents of half its angle across and up. A 4:3
    // window sees tan 30 degrees up and 4/3 of that across.
    struct ViewSpread {
        double across;
        double up;
    };
    static const ViewSpread FourByThree;
    // The backdrop, wide and tall enough to fill a view of that spread around the
    // current scroll position; its picture is fixed to the world whatever its extent.
    void drawWall(const ViewSpread& spread = FourByThree) const;
    void drawFloor(const ViewSpread& spread = FourByThree) const;

    // Once per gameplay tick, before anything moves: keeps the scroll position for frames
    // drawn before the next tick.
    void rememberTickStart() { tickStartScroll = scrollPosition; }
    // The scroll position a frame shows, `blend` of the way from the tick's start to now.
    double drawnScroll(double blend) const { return tickStartScroll + (scrollPosition - tickStartScroll) * blend; }

    double scroll() const { return scrollPosition; }
    double leftEdge(double distance) const { return scrollPosition - 2.0 * 0.36337 * distance; }
    double rightEdge(double distance) const { return scrollPosition + 2.0 * 0.36337 * distance; }
    double backLimit() const { return 15.0 - zOffset; }
    double frontLimit() const { return 0.0; }
    const std::string& name() const { return levelName; }
    const std::string& nextLevelName() const { return script.nextLevel; }
    // The view is held at a stop point until no living enemy remains.
    bool isStopped() const { return stopped; }
    // Whether the next gameplay tick, before anything moves on screen, starts one of the
    // level's cutscenes for this many players or ends the level: the level is then only
    // a moment between two scenes.
    bool sceneDue(int players) const;
    // What is still to come; a replay's state digest counts it.
    const LevelScript& remaining() const { return script; }

private:
    void releaseStop();
    void reachStops(double lead);
    void spawnEnemies(double lead);
    void advanceScroll(double lead);
    void placeObstacles(double spawnEdge);
    void placeItems(double spawnEdge);
    // True when a cutscene started; the rest of the tick is then skipped.
    bool startCutscene();
    void changeMusic();
    void finishIfAtEnd();
    void bindBackground() const;
    // How far the backdrop reaches to either side of the scroll position, and up.
    double backdropHalfWidth(const ViewSpread& spread) const;
    double wallTop(const ViewSpread& spread) const;

    LevelScript script;
    double scrollPosition = 0.0;
    double tickStartScroll = 0.0;
    std::string levelName;
    float xOffset = 10.0f;
    float zOffset = 10.0f;
    bool stopped = false;
};
