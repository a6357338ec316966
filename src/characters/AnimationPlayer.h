#pragma once

#include <string>

#include "characters/Animation.h"
#include "characters/BodyParts.h"

// Plays one library animation at a time onto a pose: steps through the key frames by
// their durations and sets every joint by Catmull-Rom interpolation over four
// neighbouring frames, each joint turning the shorter way. Playback starts at key frame
// 1; key frame 0 is only the control point before it. A looping animation jumps from
// its last key frame back to key frame 0.
class AnimationPlayer {
public:
    // Starts `name` for ever. An unknown name prints an error and plays nothing.
    void loop(const std::string& name);
    // Starts `name` once; isPlaying stays true until it has reached its end. An unknown
    // or empty animation ends at once.
    void playOnce(const std::string& name);
    // Advances by dt milliseconds and writes the joints into `pose`.
    void update(unsigned dt, Pose& pose);

    bool isPlaying() const { return playing; }
    bool isLooping() const { return looping; }
    unsigned elapsed() const { return elapsedTime; }
    unsigned totalDuration() const { return totalTime; }
    // Null while nothing plays (nothing started, or the name was unknown).
    const Animation* playingAnimation() const { return animation; }
    // The name last asked for, known or not.
    const std::string& animationName() const { return requestedName; }
    unsigned currentFrame() const { return current; }

    // Catmull-Rom through p1..p2 with p0 and p3 as outer control points, after unwrapping
    // each angle against the one before it so that no step exceeds half a turn.
    static float interpolate(float t, double p0, double p1, double p2, double p3);
    // A joint angle brought into 0..360 (360 itself stays); a value that is not finite
    // cannot be wrapped and comes back unchanged.
    static float wrapAngle(float degrees);

private:
    void start(const std::string& name);

    const Animation* animation = nullptr;
    std::string requestedName;
    unsigned current = 0;
    unsigned previous = 0;
    unsigned next = 0;
    unsigned afterNext = 0;
    bool looping = false;
    bool playing = false;
    unsigned frameDuration = 0;
    unsigned timeInFrame = 0;
    unsigned totalTime = 0;
    unsigned elapsedTime = 0;
};
