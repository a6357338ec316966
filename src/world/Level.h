#pragma once

#include <string>

// The level script of one stretch of the world: what comes in where, where the view
// stops, and what follows. Lives inside Game for the whole run; load reuses it.
class Level {
public:
    Level() = default;

    bool load(const std::string& levelName);
    // Once per gameplay tick with the smallest x of the living players, or -1.
    void update(double lead);
    void drawWall() const;
    void drawFloor() const;

    double scroll() const { return scrollPosition; }
    double leftEdge(double distance) const { return scrollPosition - 2.0 * 0.36337 * distance; }
    double rightEdge(double distance) const { return scrollPosition + 2.0 * 0.36337 * distance; }
    double backLimit() const { return 15.0 - zOffset; }
    double frontLimit() const { return 0.0; }
    const std::string& name() const { return levelName; }
    const std::string& nextLevelName() const { return nextLevel; }

private:
    double scrollPosition = 0.0;
    double endPosition = 0.0;
    std::string levelName;
    std::string nextLevel;
    float xOffset = 10.0f;
    float zOffset = 10.0f;
    bool stopped = false;
};
