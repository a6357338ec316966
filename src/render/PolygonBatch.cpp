#include "render/PolygonBatch.h"

#include <algorithm>

namespace {

constexpr int TrianglesPerPolygon = PolygonBatch::Corners - 2;
constexpr int IndicesPerPolygon = 3 * TrianglesPerPolygon;
// Corner numbers are 16-bit.
constexpr int MostPolygons = 65536 / PolygonBatch::Corners;

}  // namespace

PolygonBatch::PolygonBatch(int polygonsPerDraw)
    : capacity(std::clamp(polygonsPerDraw, 1, MostPolygons)),
      points(static_cast<std::size_t>(capacity) * Corners * 3),
      colours(static_cast<std::size_t>(capacity) * Corners * 4),
      corners(static_cast<std::size_t>(capacity) * IndicesPerPolygon) {
    for (int polygon = 0; polygon < capacity; ++polygon) {
        const int first = polygon * Corners;
        GLushort* corner = &corners[static_cast<std::size_t>(polygon) * IndicesPerPolygon];
        for (int next = 1; next <= TrianglesPerPolygon; ++next) {
            *corner++ = static_cast<GLushort>(first);
            *corner++ = static_cast<GLushort>(first + next);
            *corner++ = static_cast<GLushort>(first + next + 1);
        }
    }
}

float* PolygonBatch::add(const Color& colour) {
    if (count == capacity) {
        draw();
    }
    allOpaque = allOpaque && colour.a >= 1.0;
    GLfloat* colour4 = &colours[static_cast<std::size_t>(count) * Corners * 4];
    for (int corner = 0; corner < Corners; ++corner) {
        *colour4++ = static_cast<GLfloat>(colour.r);
        *colour4++ = static_cast<GLfloat>(colour.g);
        *colour4++ = static_cast<GLfloat>(colour.b);
        *colour4++ = static_cast<GLfloat>(colour.a);
    }
    return &points[static_cast<std::size_t>(count++) * Corners * 3];
}

void PolygonBatch::draw() {
    if (count == 0) {
        return;
    }
    // One colour per polygon, taken whole: interpolating equal colours across a triangle
    // in perspective rounds a channel that falls on a half step (0.3 is 76.5 of 255)
    // either way, pixel by pixel.
    GLint shading = GL_SMOOTH;
    glGetIntegerv(GL_SHADE_MODEL, &shading);
    glShadeModel(GL_FLAT);
    // Blending an opaque colour gives the colour itself; skipping it saves reading back
    // every pixel.
    const bool blending = glIsEnabled(GL_BLEND) == GL_TRUE;
    if (blending && allOpaque) {
        glDisable(GL_BLEND);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, points.data());
    glColorPointer(4, GL_FLOAT, 0, colours.data());
    glDrawElements(GL_TRIANGLES, count * IndicesPerPolygon, GL_UNSIGNED_SHORT, corners.data());
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glShadeModel(static_cast<GLenum>(shading));
    if (blending && allOpaque) {
        glEnable(GL_BLEND);
    }
    // The colour array leaves the current colour undefined.
    glColor4fv(&colours[static_cast<std::size_t>(count - 1) * Corners * 4]);
    count = 0;
    allOpaque = true;
}
