#include "characters/Boss.h"

Boss::Boss() : Enemy(4) {}
Boss::~Boss() = default;
