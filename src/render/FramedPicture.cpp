#include "render/FramedPicture.h"

#include <GL/gl.h>

#include <optional>

namespace {

// One stretch of the window along an axis, and the texture coordinates it takes: a
// margin takes the picture's edge coordinate at both ends.
struct Span {
    double from;
    double to;
    double texFrom;
    double texTo;
};

// Sets a wrap mode on the bound texture and puts the old one back when it goes.
class EdgeClamp {
public:
    EdgeClamp() {
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
        // Sampling a repeating texture at its edge would mix in the opposite edge.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    ~EdgeClamp() {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapS);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapT);
    }
    EdgeClamp(const EdgeClamp&) = delete;
    EdgeClamp& operator=(const EdgeClamp&) = delete;

private:
    GLint wrapS = GL_REPEAT;
    GLint wrapT = GL_REPEAT;
};

}  // namespace

FramedPicture::FramedPicture(const PictureFrame& pictureFrame) : frame(pictureFrame) {
    glGetIntegerv(GL_VIEWPORT, previousViewport);
    frame.useWindow();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, frame.windowWidth(), 0.0, frame.windowHeight(), -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

FramedPicture::~FramedPicture() {
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glViewport(previousViewport[0], previousViewport[1], previousViewport[2], previousViewport[3]);
}

void FramedPicture::draw(double z, double topRow) const {
    const double left = frame.left();
    const double right = left + frame.width();
    const double bottom = frame.bottom();
    const double top = bottom + frame.height();
    const double windowWidth = frame.windowWidth();
    const double windowHeight = frame.windowHeight();
    const double bottomRow = 1.0 - topRow;
    const Span across[] = {{0.0, left, 0.0, 0.0}, {left, right, 0.0, 1.0}, {right, windowWidth, 1.0, 1.0}};
    const Span up[] = {{0.0, bottom, bottomRow, bottomRow},
                       {bottom, top, bottomRow, topRow},
                       {top, windowHeight, topRow, topRow}};
    // A picture that fills the window is drawn exactly as it always was.
    const bool margins = frame.width() != frame.windowWidth() || frame.height() != frame.windowHeight();
    const std::optional<EdgeClamp> clamp = margins ? std::make_optional<EdgeClamp>() : std::nullopt;
    glBegin(GL_QUADS);
    for (const Span& x : across) {
        for (const Span& y : up) {
            if (x.to <= x.from || y.to <= y.from) {
                continue;
            }
            glTexCoord2d(x.texFrom, y.texFrom); glVertex3d(x.from, y.from, z);
            glTexCoord2d(x.texTo, y.texFrom); glVertex3d(x.to, y.from, z);
            glTexCoord2d(x.texTo, y.texTo); glVertex3d(x.to, y.to, z);
            glTexCoord2d(x.texFrom, y.texTo); glVertex3d(x.from, y.to, z);
        }
    }
    glEnd();
}
