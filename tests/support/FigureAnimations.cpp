#include "support/FigureAnimations.h"

#include <string>

#include "support/TempDataDir.h"

namespace {

struct AnimationFile {
    const char* file;
    const char* name;
};

const AnimationFile kFiles[] = {
    {"SwingStick.txt", "swingstick"},         {"ThrowBall.txt", "throw"},
    {"FightStance.txt", "fightstance"},       {"WeaponStance.txt", "weaponstance"},
    {"Hit1.txt", "hit"},                      {"Walk.txt", "walk"},
    {"WeaponWalk.txt", "weaponwalk"},         {"LoseLimb.txt", "loselimb"},
    {"Die.txt", "die"},                       {"WeaponHit.txt", "weaponhit"},
    {"PunchStart.txt", "punchstart"},         {"PunchFinish.txt", "punchfinish"},
    {"SwingStickStart.txt", "swingstickstart"}, {"SwingStickFinish.txt", "swingstickfinish"},
    {"TransformBazooka.txt", "transformbazooka"}, {"BazookaShotStart.txt", "bazookashotstart"},
    {"BazookaShotFinish.txt", "bazookashotfinish"}, {"BazookaHit.txt", "bazookahit"},
    {"BazookaStance.txt", "bazookastance"},   {"BazookaWalk.txt", "bazookawalk"},
    {"PickupStart.txt", "pickupstart"},       {"PickupFinish.txt", "pickupfinish"},
    {"RipLimbStart.txt", "riplimbstart"},     {"RipLimbFinish.txt", "riplimbfinish"},
};

}  // namespace

void writeFigureAnimations(const TempDataDir& dir, int frameMilliseconds) {
    std::string frame;
    for (int joint = 0; joint < 18; ++joint) {
        frame += "10 ";
    }
    frame += std::to_string(frameMilliseconds) + "\n";
    for (const AnimationFile& entry : kFiles) {
        dir.write(std::string("animations/") + entry.file, std::string(entry.name) + "\n" + frame + frame + frame);
    }
}
