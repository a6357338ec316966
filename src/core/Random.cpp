#include "core/Random.h"

#include "core/Game.h"

int random15() { return Game::instance().getMatch().random.next() % 32768; }

void seedRandom(unsigned seed) { Game::instance().getMatch().random.seed(seed); }

int visualRandom15() { return Game::instance().getMatch().looks.next15(); }
