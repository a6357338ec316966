#pragma once

#include <GL/gl.h>

// Culls back faces for as long as it lives, then leaves culling as it found it. Closed
// shapes wound outwards (ShapeLists) lose nothing that shows and the renderer skips
// about half of their triangles.
class FaceCulling {
public:
    FaceCulling() : wasOn(glIsEnabled(GL_CULL_FACE) == GL_TRUE) {
        if (!wasOn) {
            glEnable(GL_CULL_FACE);
        }
    }
    ~FaceCulling() {
        if (!wasOn) {
            glDisable(GL_CULL_FACE);
        }
    }
    FaceCulling(const FaceCulling&) = delete;
    FaceCulling& operator=(const FaceCulling&) = delete;

private:
    bool wasOn;
};
