#include "world/Stick.h"

Stick::Stick(const Color& c) : colour(c) {}
Stick::~Stick() = default;
