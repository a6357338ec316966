#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <vector>

#include "core/Settings.h"
#include "support/GlWindow.h"
#include "world/Ink.h"

TEST(InkDrawTest, DropsAndSplatsShowInTheirColoursWithoutGlErrors) {
    const GlWindow window(320, 240);
    Settings::instance().setInt("maxSplats", 50);
    Settings::instance().setFloat("gravity", 10.0f);
    Ink& ink = Ink::instance();
    ink.spray(Vec3(-3, 0.01, -3), Vec3(0, -1, 0), Color(0, 1, 0, 1), 1, 0, 0.6, 0, 0, 5, 1.0);
    ink.update(20);
    ink.burst(Vec3(3, 8, -3), 0, 0, 0.6, 0, 5, Color(0, 0, 1, 1));
    ASSERT_EQ(ink.splatCount(), 5);
    ASSERT_EQ(ink.particleCount(), 5);

    // The game's GL state and camera, with a black texture left bound: drops drawn
    // through it would come out black.
    GLuint black = 0;
    const unsigned char texel[4] = {0, 0, 0, 255};
    glGenTextures(1, &black);
    glBindTexture(GL_TEXTURE_2D, black);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glClearColor(1, 1, 1, 0);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 320.0 / 240.0, 1.0, 100.0);
    glTranslated(0.0, -10.0, -20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    while (glGetError() != GL_NO_ERROR) {
    }
    ink.draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    int blue = 0;
    int green = 0;
    const std::vector<unsigned char> pixels = window.readBackBuffer();
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
        blue += pixels[i] == 0 && pixels[i + 1] == 0 && pixels[i + 2] == 255;
        green += pixels[i] == 0 && pixels[i + 1] == 255 && pixels[i + 2] == 0;
    }
    EXPECT_GT(blue, 20) << "drops in the air face the camera";
    EXPECT_GT(green, 20) << "splats lie on the floor";
    glDeleteTextures(1, &black);
}
