#include "render/ShapeLists.h"

#include <array>
#include <cmath>

#include "render/EyePosition.h"

namespace {

// The outline of every shape is a 16-sided polygon, as fine as the spheres and cylinders
// the bodies were first drawn with; up to full HD a head's outline stays within half a
// pixel of a true circle.
constexpr int Sides = 16;
// Rings of a half ball between its rim and its pole decide only how closely its depth
// follows the sphere, which shows where it meets something of another colour: a face lies
// at most 29 % of the radius inside the sphere with one ring and 8 % with two. A ball that
// looks small (a joint, a few pixels across) is drawn with one ring, a larger one (a
// head) with two; either way the error is about a pixel at 600 lines.
constexpr int CoarseRings = 1;
constexpr int FineRings = 2;
// Radius over distance from the eye below which a ball counts as small: about 5 pixels
// at 600 lines.
constexpr double SmallBall = 0.01;
// Faces that stand in for the run of a tube's faces turned to the eye, about eight.
constexpr int Chords = 2;

constexpr double Pi = 3.14159265358979323846;

using Vec = std::array<double, 3>;

Vec cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double length(const Vec& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// Corner `side` of the tube's 16-sided section at height z, where gluCylinder puts it.
void tubeVertex(int side, float z) {
    const double angle = 2.0 * Pi * (side % Sides) / Sides;
    glVertex3f(static_cast<float>(std::sin(angle)), static_cast<float>(std::cos(angle)), z);
}

// The flat strip of the side from corner `from` to corner `to` (round the growing
// angle), wound anticlockwise seen from outside.
void tubeStrip(int from, int to) {
    tubeVertex(from, 0.0f);
    tubeVertex(from, 1.0f);
    tubeVertex(to, 0.0f);
    tubeVertex(from, 1.0f);
    tubeVertex(to, 1.0f);
    tubeVertex(to, 0.0f);
}

void tubeSide() {
    for (int side = 0; side < Sides; ++side) {
        tubeStrip(side, side + 1);
    }
}

// Both ends, facing out. As the angle grows a corner moves clockwise seen from +z.
void tubeEnds() {
    for (int side = 1; side + 1 < Sides; ++side) {
        tubeVertex(0, 0.0f);
        tubeVertex(side, 0.0f);
        tubeVertex(side + 1, 0.0f);
        tubeVertex(0, 1.0f);
        tubeVertex(side + 1, 1.0f);
        tubeVertex(side, 1.0f);
    }
}

// One primitive per list keeps each a single draw.
void compileClosedTube() {
    glBegin(GL_TRIANGLES);
    tubeSide();
    tubeEnds();
    glEnd();
}

// Point of the unit half ball `ring` steps down from the pole at +z, `side` steps round.
void ballVertex(int rings, int ring, int side) {
    const double polar = (Pi / 2.0) * ring / rings;
    const double around = 2.0 * Pi * (side % Sides) / Sides;
    const float x = static_cast<float>(std::sin(polar) * std::cos(around));
    const float y = static_cast<float>(std::sin(polar) * std::sin(around));
    const float z = static_cast<float>(std::cos(polar));
    glVertex3f(x, y, z);
}

void halfBall(int rings) {
    glBegin(GL_TRIANGLES);
    for (int side = 0; side < Sides; ++side) {
        ballVertex(rings, 0, 0);
        ballVertex(rings, 1, side);
        ballVertex(rings, 1, side + 1);
    }
    for (int ring = 1; ring < rings; ++ring) {
        for (int side = 0; side < Sides; ++side) {
            ballVertex(rings, ring, side);
            ballVertex(rings, ring + 1, side);
            ballVertex(rings, ring + 1, side + 1);
            ballVertex(rings, ring, side);
            ballVertex(rings, ring + 1, side + 1);
            ballVertex(rings, ring, side + 1);
        }
    }
    glEnd();
}

void compileCoarseHalfBall() { halfBall(CoarseRings); }
void compileFineHalfBall() { halfBall(FineRings); }

GLuint compile(void (*emit)()) {
    const GLuint list = glGenLists(1);
    if (list != 0) {
        glNewList(list, GL_COMPILE);
        emit();
        glEndList();
    }
    return list;
}

}  // namespace

ShapeLists& ShapeLists::instance() {
    static ShapeLists shapes;
    return shapes;
}

ShapeLists::~ShapeLists() {
    for (const GLuint list : {closedTube, coarseHalfBall, fineHalfBall}) {
        if (list != 0) {
            glDeleteLists(list, 1);
        }
    }
}

void ShapeLists::build() {
    if (closedTube == 0) {
        closedTube = compile(compileClosedTube);
    }
    if (coarseHalfBall == 0) {
        coarseHalfBall = compile(compileCoarseHalfBall);
    }
    if (fineHalfBall == 0) {
        fineHalfBall = compile(compileFineHalfBall);
    }
}

void ShapeLists::drawOpenTube() {
    // The faces turned to the eye are a run round the section. Its two outer corners
    // make the outline and stay; the faces between them show only as depth, which a few
    // wider faces follow closely enough.
    const EyePosition eye = EyePosition::current();
    const double facing = eye.point ? std::cos(Pi / Sides) : 0.0;
    std::array<bool, Sides> front{};
    int count = 0;
    for (int face = 0; face < Sides; ++face) {
        const double middle = 2.0 * Pi * (face + 0.5) / Sides;
        front[face] = std::sin(middle) * eye.at[0] + std::cos(middle) * eye.at[1] > facing;
        count += front[face] ? 1 : 0;
    }
    if (count == 0 || count == Sides) {
        return;
    }
    int first = 0;
    while (!front[first] || front[(first + Sides - 1) % Sides]) {
        ++first;
    }
    glBegin(GL_TRIANGLES);
    for (int chord = 0; chord < Chords; ++chord) {
        const int from = first + count * chord / Chords;
        const int to = first + count * (chord + 1) / Chords;
        if (from != to) {
            tubeStrip(from, to);
        }
    }
    glEnd();
}

void ShapeLists::drawClosedTube() {
    build();
    if (closedTube != 0) {
        glCallList(closedTube);
    }
}

void ShapeLists::drawBall(double radius) {
    build();
    const EyePosition eye = EyePosition::current();
    const double distance = length(eye.at);
    const GLuint list = eye.point && radius < SmallBall * distance ? coarseHalfBall : fineHalfBall;
    if (list == 0 || !(distance > 0.0)) {
        return;
    }
    const Vec z{eye.at[0] / distance, eye.at[1] / distance, eye.at[2] / distance};
    // Any axis across the eye's direction will do; the one least along it is the
    // steadiest to cross with.
    Vec helper{0.0, 0.0, 0.0};
    int least = 0;
    for (int axis = 1; axis < 3; ++axis) {
        if (std::abs(z[axis]) < std::abs(z[least])) {
            least = axis;
        }
    }
    helper[least] = 1.0;
    Vec x = cross(helper, z);
    const double across = length(x);
    x = {x[0] / across, x[1] / across, x[2] / across};
    const Vec y = cross(z, x);
    const GLdouble turn[16] = {x[0] * radius, x[1] * radius, x[2] * radius, 0.0,
                               y[0] * radius, y[1] * radius, y[2] * radius, 0.0,
                               z[0] * radius, z[1] * radius, z[2] * radius, 0.0,
                               0.0,           0.0,           0.0,           1.0};
    glPushMatrix();
    glMultMatrixd(turn);
    glCallList(list);
    glPopMatrix();
}
