#include "characters/AnimationLibrary.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <limits>

namespace {

// Only plain decimal notation counts as a number: no hex, "inf" or "nan", which would
// reach the joints as angles no rotation can use.
bool isDecimal(const std::string& token, const char* allowed) {
    return !token.empty() && token.find_first_not_of(allowed) == std::string::npos;
}

bool readAngle(std::istream& in, float& angle) {
    std::string token;
    if (!(in >> token) || !isDecimal(token, "0123456789+-.eE")) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const float value = std::strtof(token.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value) || (errno == ERANGE && value != 0.0f)) {
        return false;
    }
    angle = value;
    return true;
}

bool readDuration(std::istream& in, int32_t& duration) {
    std::string token;
    if (!(in >> token) || !isDecimal(token, "0123456789+-")) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(token.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max()) {
        return false;
    }
    // A negative length would become an endless segment once playback reads it as an
    // unsigned time, leaving the figure stuck in the move for good.
    duration = value < 0 ? 0 : static_cast<int32_t>(value);
    return true;
}

bool readKeyframe(std::istream& in, Keyframe& frame) {
    for (float& angle : frame.angles) {
        if (!readAngle(in, angle)) {
            return false;
        }
    }
    return readDuration(in, frame.duration);
}

}  // namespace

AnimationLibrary& AnimationLibrary::instance() {
    static AnimationLibrary library;
    return library;
}

bool AnimationLibrary::load(const std::string& file) {
    std::ifstream in("animations/" + file);
    if (!in) {
        std::cerr << "Error: Cannot open animation file " << file << std::endl;
        return false;
    }
    std::string name;
    in >> name;
    if (animations.count(name) != 0) {
        std::cerr << "Warning: An Animation with name " << name << " already exists." << std::endl;
        return false;
    }
    Animation animation;
    Keyframe frame;
    while (readKeyframe(in, frame)) {
        animation.keyframes.push_back(frame);
    }
    animations.emplace(name, std::move(animation));
    return true;
}

const Animation* AnimationLibrary::find(const std::string& name) const {
    const auto it = animations.find(name);
    return it == animations.end() ? nullptr : &it->second;
}
