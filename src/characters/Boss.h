#pragma once

#include "characters/Enemy.h"

// The large black enemy that calls waves of minions.
class Boss : public Enemy {
public:
    Boss();
    ~Boss() override;
};
