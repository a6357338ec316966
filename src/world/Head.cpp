#include "world/Head.h"

Head::Head(const Color& c) : colour(c) {}
Head::~Head() = default;
