#pragma once

#include <map>

#include "replay/ReplayPlayer.h"

// A replay watched on screen, scrubbed like a video with the viewer's own keys: Space
// pauses and goes on, '.' steps one tick while paused, Right and Left jump 10 seconds
// forward and back, Up and Down change the speed from a quarter to eight times; Escape
// stops as before. A small bar at the bottom shows where playback stands.
//
// A jump forward plays the ticks in between at once. A jump back brings back the
// nearest bookmark kept on the way (every 5 seconds, farther apart in a long replay, so
// that at most MostBookmarks are kept) and plays forward from it; every recorded digest
// passed on the way is checked again, so a difference still shows after any jump.
class ReplayViewer : public ReplayPlayer {
public:
    static constexpr int JumpTicks = 500;
    static constexpr int BookmarkTicks = 250;
    static constexpr int MostBookmarks = 100;

    using ReplayPlayer::ReplayPlayer;

    void begin() override;
    void liveKey(int key, bool down) override;
    void tickEnded() override;
    int ticksThisFrame() override;
    void drawOverlay() const override;

    bool isPaused() const { return paused; }
    // Ticks per frame: 0.25 to 8.
    double speed() const;
    int bookmarksKept() const { return static_cast<int>(bookmarks.size()); }

private:
    // Plays to `tick` at once, from the nearest earlier bookmark when it lies behind.
    void jumpTo(int tick);
    void keep();

    std::map<int, Bookmark> bookmarks;
    int bookmarkTicks = BookmarkTicks;
    bool paused = false;
    bool stepWanted = false;
    // Index into the speeds: 2 is one tick a frame.
    int speedStep = 2;
    int frames = 0;
};
