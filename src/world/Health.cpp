#include "world/Health.h"

Health::Health(float amount_) : healAmount(amount_) { drawLast = true; }
Health::~Health() = default;

SmallHealth::SmallHealth() : Health(50.0f) { texture = "smallink"; }
MediumHealth::MediumHealth() : Health(150.0f) { texture = "medink"; }
LargeHealth::LargeHealth() : Health(300.0f) { texture = "largeink"; }
