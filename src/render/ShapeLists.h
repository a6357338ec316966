#pragma once

#include <GL/gl.h>

// The solid shapes that figures, sticks and heads are made of, compiled once as display
// lists of unit size. They are drawn in one flat colour without lighting, so a shape
// shows nothing but its outline and, where it meets something of another colour, its
// depth; each list holds only the triangles those need.
//
// - A tube is a cylinder of 16 sides in one band along its length: the bands a finer cut
//   would add lie in the same 16 flat faces and change no pixel. The closed tube has its
//   two ends. The open one, for a bone whose ends always lie inside something drawn in
//   its own colour (a joint ball, the torso), is built for the eye at each draw: the two
//   corners that make its outline, joined through a middle corner instead of through
//   every face between them, which moves its depth by less than a third of its radius.
// - The ball is the half of a sphere that faces the eye, turned towards the eye of the
//   current projection each time it is drawn: its rim is the sphere's outline and its
//   surface the sphere's nearest depth, while the far half, always hidden behind it, is
//   never sent.
//
// Every triangle is wound anticlockwise seen from outside, so the shapes can be drawn
// with back faces culled (FaceCulling), which spares the renderer half of them. They need
// a current GL context; the lists are compiled at the first draw, or by `build` before a
// caller compiles lists that call them.
class ShapeLists {
public:
    static ShapeLists& instance();

    ShapeLists(const ShapeLists&) = delete;
    ShapeLists& operator=(const ShapeLists&) = delete;
    ~ShapeLists();

    // Compiles the lists unless they exist. Must not be called while a list is being
    // compiled.
    void build();
    // A cylinder of radius 1 around the z axis, from z = 0 to z = 1, its 16 sides where
    // gluCylinder puts them; with or without its two ends. The placement may stretch it
    // along its length and evenly across.
    void drawOpenTube();
    void drawClosedTube();
    // A ball of `radius` on the current origin. The placement may turn, move and scale it
    // evenly; the eye must be a few radii away at least, as it is from every figure, stick
    // and head in the game.
    void drawBall(double radius);
    // drawOpenTube and drawBall read the current matrices, so they go into no display
    // list; drawClosedTube may.

private:
    ShapeLists() = default;

    GLuint closedTube = 0;
    GLuint coarseHalfBall = 0;
    GLuint fineHalfBall = 0;
};
