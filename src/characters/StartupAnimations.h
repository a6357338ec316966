#pragma once

// The animation files the game loads at start-up, in load order, each with the name
// written inside it (the name figures ask for). SwingStick.txt carries a whole swing
// that no state plays; it is loaded so that a data author can try it out.
struct StartupAnimation {
    const char* file;
    const char* name;
};

inline constexpr StartupAnimation kStartupAnimations[] = {
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
