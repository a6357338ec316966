#include "characters/AnimationPlayer.h"

#include <cmath>
#include <iostream>

#include "characters/AnimationLibrary.h"

namespace {

// Angles above this only come from broken animation data.
constexpr double SuspiciousAngle = 4096.0;

// Moves `angle` by whole turns until it lies within half a turn of `reference`, the
// result repeated subtraction would give, but in one step so that absurd values cannot
// spin for ever.
double unwrap(double angle, double reference) {
    const double difference = angle - reference;
    if (difference > 180.0) {
        angle -= std::ceil((difference - 180.0) / 360.0) * 360.0;
        if (angle - reference > 180.0) {
            angle -= 360.0;
        }
    } else if (difference < -180.0) {
        angle += std::ceil((-180.0 - difference) / 360.0) * 360.0;
        if (angle - reference < -180.0) {
            angle += 360.0;
        }
    }
    return angle;
}

}  // namespace

void AnimationPlayer::start(const std::string& name) {
    requestedName = name;
    animation = AnimationLibrary::instance().find(name);
    if (animation == nullptr) {
        std::cerr << "Error: Animation " << name << " has not been loaded" << std::endl;
    }
    current = 0;
    frameDuration = 0;
}

void AnimationPlayer::loop(const std::string& name) {
    start(name);
    looping = true;
}

void AnimationPlayer::playOnce(const std::string& name) {
    start(name);
    looping = false;
    playing = true;
    elapsedTime = 0;
    totalTime = 0;
    if (animation == nullptr || animation->empty()) {
        // Nothing to play is over at once, so the figure waiting for the end moves on
        // instead of standing frozen in that state for good.
        playing = false;
        return;
    }
    for (const Keyframe& frame : animation->keyframes) {
        totalTime += static_cast<unsigned>(frame.duration);
    }
}

void AnimationPlayer::update(unsigned dt, Pose& pose) {
    if (animation == nullptr || animation->empty()) {
        return;
    }
    const Animation& frames = *animation;
    const std::size_t n = frames.size();
    if (n == 1) {
        // A single key frame has no segment to play: shown once, it ends a one-shot.
        pose = frames[0].angles;
        playing = false;
        return;
    }
    elapsedTime += dt;
    if (!looping && !playing) {
        return;
    }
    if (timeInFrame + dt > frameDuration) {
        ++current;
        if (current >= n - 1) {
            if (!looping) {
                playing = false;
                return;
            }
            current = 0;
        }
        frameDuration = static_cast<unsigned>(frames[current].duration);
        previous = current == 0 ? static_cast<unsigned>(n - 1) : current - 1;
        next = current + 1 >= n ? 0 : current + 1;
        afterNext = next + 1 >= n ? 0 : next + 1;
        timeInFrame = 0;
    }
    // A zero-length key frame is over as soon as it starts: show where it leads.
    const float t = frameDuration == 0
                        ? 1.0f
                        : static_cast<float>(static_cast<double>(timeInFrame) / frameDuration);
    for (int joint = 0; joint < JointCount; ++joint) {
        pose[joint] =
            wrapAngle(interpolate(t, frames[previous].angles[joint], frames[current].angles[joint],
                                  frames[next].angles[joint], frames[afterNext].angles[joint]));
    }
    timeInFrame += dt;
}

float AnimationPlayer::interpolate(float t, double p0, double p1, double p2, double p3) {
    if (p0 > SuspiciousAngle || p1 > SuspiciousAngle || p2 > SuspiciousAngle ||
        p3 > SuspiciousAngle) {
        std::cout << p0 << ", " << p1 << ", " << p2 << ", " << p3 << "\n";
    }
    p1 = unwrap(p1, p0);
    p2 = unwrap(p2, p1);
    p3 = unwrap(p3, p2);
    const double a1 = -0.5 * p0 + 0.5 * p2;
    const double a2 = p0 - 2.5 * p1 + 2.0 * p2 - 0.5 * p3;
    const double a3 = -0.5 * p0 + 1.5 * p1 - 1.5 * p2 + 0.5 * p3;
    const double s = t;
    return static_cast<float>(((a3 * s + a2) * s + a1) * s + p1);
}

float AnimationPlayer::wrapAngle(float degrees) {
    if (!std::isfinite(degrees)) {
        return degrees;
    }
    double angle = degrees;
    if (angle < 0.0) {
        angle = std::fmod(angle, 360.0);
        if (angle < 0.0) {
            angle += 360.0;
        }
    } else if (angle > 360.0) {
        angle = std::fmod(angle, 360.0);
        if (angle == 0.0) {
            angle = 360.0;
        }
    }
    return static_cast<float>(angle);
}
