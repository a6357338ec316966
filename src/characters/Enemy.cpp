#include "characters/Enemy.h"

Enemy::Enemy(int kind_) : StickFigure(Color(0, 0, 0, 1)), kind(kind_) {}
Enemy::~Enemy() = default;
