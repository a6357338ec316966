#pragma once

#include <GL/gl.h>

#include <vector>

#include "world/Color.h"

// Small convex polygons of eight corners, each in one colour and already placed where it
// is drawn, drawn in the order they were added with one draw call per buffer full. A
// software renderer pays for every draw call and matrix change, and thousands of small
// shapes drawn one at a time make one each; here they cost a few. A convex polygon is
// drawn as six triangles from its first corner, which cover exactly the pixels that a fan
// from any point inside it would. The buffer is sized once.
class PolygonBatch {
public:
    static constexpr int Corners = 8;

    explicit PolygonBatch(int polygonsPerDraw);

    // Room for the next polygon: the caller writes its corners in order round it, as
    // x, y, z each. A full buffer is drawn first.
    float* add(const Color& colour);
    // Draws the polygons added since the last draw. Leaves the current colour at the
    // last one's, as drawing them one by one would.
    void draw();

private:
    int capacity;
    int count = 0;
    bool allOpaque = true;
    std::vector<GLfloat> points;
    std::vector<GLfloat> colours;
    std::vector<GLushort> corners;
};
