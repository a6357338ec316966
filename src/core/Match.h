#pragma once

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "characters/AttackerTally.h"
#include "characters/BodyParts.h"
#include "core/CRandom.h"
#include "core/VisualRandom.h"
#include "ui/Cutscene.h"
#include "ui/Menu.h"
#include "world/ClonePtr.h"
#include "world/Handle.h"
#include "world/Ink.h"
#include "world/Level.h"
#include "world/World.h"

class Player;

// Everything that decides how a game in progress goes on, as one value the Game owns:
// the world's objects and the level's progress, the player slots, the attacker tally,
// the ink, the cutscene, the open menu, the controls as they are held, the continue
// countdown and the dice. A copy is a whole game set aside: every object copies itself
// (Object::clone), references between objects are spawn ids, and the copy goes on
// exactly as the original would have. Copying and assigning are member by member;
// storage is reused where it can be, so bringing a match back costs about as much as
// copying it. The services that serve a game (Ink, Cutscene, AttackerTally) reach into
// the match of the current Game.
//
// What only shows or sounds, and must be the same when a match is brought back, is here
// too: the blood's dice, the drops and splats, the stumps' spray scale, the music.
class Match {
public:
    static constexpr int ControlCount = 16;
    // A menu that opens while attack is held, or this soon after it was pressed, lets
    // attack choose only once it has been open as long.
    static constexpr int MenuAttackGuard = 500;

    // Last axis values of a player's joystick, after inversion.
    struct StickAxes {
        double horizontal = 0.0;
        double depth = 0.0;
    };

    World world;
    Handle<Player> player1;
    Handle<Player> player2;
    // Who takes part, for a restart or the next level.
    bool player1Joined = false;
    bool player2Joined = false;
    Level level;
    std::string levelName;
    int continueCountdown = 0;
    AttackerTally tally;
    Ink ink;
    Cutscene cutscene;

    // The open menu and the full-window picture behind it.
    ClonePtr<Menu> menu;
    bool backgroundShown = false;
    std::string backgroundTexture;
    bool attract = false;
    // False once the attract-loop cutscene failed to start.
    bool attractShowStarts = false;

    // Menus waiting under the open one, with their backgrounds, the latest last.
    std::vector<std::pair<ClonePtr<Menu>, std::string>> menusUnder;

    std::array<bool, ControlCount> controlHeld{};
    std::array<StickAxes, 2> stick{};
    // Game time since either player last pressed attack, capped at the menus' attack
    // guard, and "long ago" when a game starts, so a replay sees the value its game saw.
    int sinceAttack = MenuAttackGuard;

    // Home mode: the match as it was when the current level started or the view last
    // moved on from a cleared stop; "Retry from checkpoint" brings it back. Shared, never
    // changed, so copying a match copies a pointer.
    std::shared_ptr<const Match> checkpoint;
    // A checkpoint is taken before the next gameplay tick.
    bool checkpointDue = false;

    // The fight's dice: the C library generator's sequence.
    CRandom random;
    // The dice of what is only seen.
    VisualRandom looks;
    // The countdown each stump slot showed the first time a figure spurted from it; the
    // spray of every later stump of that slot is scaled against it.
    std::array<int, LimbCount> firstBleed{};
    // The music the game started last.
    std::string music;

    // The coin client's count when this copy was made (the live count is the client's).
    int credits = 0;
};
