#include "render/EyePosition.h"

#include <GL/gl.h>

#include <cmath>

EyePosition EyePosition::current() {
    GLdouble model[16];
    GLdouble projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    // Rows x, y, z and w of projection * model (both stored by columns).
    double rows[4][4];
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += projection[k * 4 + row] * model[col * 4 + k];
            }
            rows[row][col] = sum;
        }
    }
    // The null vector of rows x, y and w: each component is a signed 3 x 3 minor.
    const double* a = rows[0];
    const double* b = rows[1];
    const double* c = rows[3];
    const auto minor = [&](int i, int j, int k) {
        return a[i] * (b[j] * c[k] - b[k] * c[j]) - a[j] * (b[i] * c[k] - b[k] * c[i]) +
               a[k] * (b[i] * c[j] - b[j] * c[i]);
    };
    const double eye[4] = {minor(1, 2, 3), -minor(0, 2, 3), minor(0, 1, 3), -minor(0, 1, 2)};
    const double size = std::sqrt(eye[0] * eye[0] + eye[1] * eye[1] + eye[2] * eye[2]);
    if (std::abs(eye[3]) > 1e-12 * size) {
        return {{eye[0] / eye[3], eye[1] / eye[3], eye[2] / eye[3]}, true};
    }
    // A parallel projection: of the two ways along the direction, the eye lies where
    // depth decreases.
    const double* depth = rows[2];
    const double sign = depth[0] * eye[0] + depth[1] * eye[1] + depth[2] * eye[2] > 0.0 ? -1.0 : 1.0;
    return {{sign * eye[0], sign * eye[1], sign * eye[2]}, false};
}
