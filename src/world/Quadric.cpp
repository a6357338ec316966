#include "world/Quadric.h"

#include <GL/glu.h>

Quadric::Quadric() : handle(gluNewQuadric()) {}

void Quadric::Deleter::operator()(GLUquadric* quadric) const { gluDeleteQuadric(quadric); }
