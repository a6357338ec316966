#include "characters/AttackerTally.h"

#include "core/Game.h"

AttackerTally& AttackerTally::instance() { return Game::instance().getMatch().tally; }
