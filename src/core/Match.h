#pragma once

#include "core/CRandom.h"
#include "core/VisualRandom.h"

// Everything that decides how a game in progress goes on, as one value the Game owns.
class Match {
public:
    // The fight's dice: the C library generator's sequence.
    CRandom random;
    // The dice of what is only seen.
    VisualRandom looks;
};
