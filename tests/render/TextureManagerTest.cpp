#include "render/EncodedImages.h"
#include "render/TextureManager.h"
#include "support/GlWindow.h"
#include "support/TempDataDir.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>

#include <string>

using encoded::Bytes;
using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

namespace {

class TextureManagerTest : public testing::Test {
protected:
    void save(const std::string& path, const Bytes& bytes) { dir.writeBytes(path, bytes.data(), bytes.size()); }

    static GLint boundTexture() {
        GLint id = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &id);
        return id;
    }

    // Binds the named texture and answers one of its parameters.
    static GLint parameter(const std::string& name, GLenum which) {
        TextureManager::instance().bind(name);
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
        return value;
    }

    static GLint levelZero(const std::string& name, GLenum which) {
        TextureManager::instance().bind(name);
        GLint value = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, which, &value);
        return value;
    }

    static Bytes rgbPixels(const std::string& name) {
        const std::size_t size =
            static_cast<std::size_t>(levelZero(name, GL_TEXTURE_WIDTH)) * levelZero(name, GL_TEXTURE_HEIGHT) * 3;
        Bytes pixels(size);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    GlWindow window;
    TempDataDir dir;
    TextureManager& textures = TextureManager::instance();
};

// 2 x 2 RGB: rows of 6 bytes, which a 4-byte row alignment would misread.
const Bytes twoByTwo = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};

}  // namespace

TEST_F(TextureManagerTest, PngUploadsTopRowFirstWithNearestFilterAndRepeat) {
    save("images/small.png", encoded::png(2, 2, PNG_COLOR_TYPE_RGB, 8, twoByTwo));
    textures.load("small.png", "small");
    ASSERT_TRUE(textures.contains("small"));
    EXPECT_NE(boundTexture(), 0);
    EXPECT_EQ(rgbPixels("small"), twoByTwo);
    EXPECT_EQ(parameter("small", GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(parameter("small", GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(parameter("small", GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(parameter("small", GL_TEXTURE_WRAP_T), GL_REPEAT);
}

TEST_F(TextureManagerTest, JpegIsFilteredLinearly) {
    save("images/photo.jpg", encoded::jpeg(8, 8, JCS_RGB, encoded::flat(8, 8, {200, 100, 50})));
    textures.load("photo.jpg", "photo");
    EXPECT_EQ(parameter("photo", GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter("photo", GL_TEXTURE_MAG_FILTER), GL_LINEAR);
}

TEST_F(TextureManagerTest, MissingFileRegistersNearestCheckerboard) {
    textures.load("gone.png", "gone");
    ASSERT_TRUE(textures.contains("gone"));
    EXPECT_EQ(levelZero("gone", GL_TEXTURE_WIDTH), 16);
    EXPECT_EQ(levelZero("gone", GL_TEXTURE_HEIGHT), 16);
    EXPECT_EQ(parameter("gone", GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    const Bytes pixels = rgbPixels("gone");
    EXPECT_EQ(pixels[0], 0);
    EXPECT_EQ(pixels[3], 255);
}

TEST_F(TextureManagerTest, ListLoadsPairsInOrderFirstNameWinsLoneTokenIgnored) {
    save("images/a.png", encoded::png(2, 2, PNG_COLOR_TYPE_RGB, 8, twoByTwo));
    save("images/b.png", encoded::png(4, 4, PNG_COLOR_TYPE_RGB, 8, encoded::flat(4, 4, {1, 2, 3})));
    dir.write("textures.dat", "a.png\tfirst\n\n  b.png   second b.png first\nb.png");
    CaptureStderr();
    textures.loadList("textures.dat");
    EXPECT_EQ(GetCapturedStderr(), "first already exists!\n");
    EXPECT_EQ(levelZero("first", GL_TEXTURE_WIDTH), 2);
    EXPECT_EQ(levelZero("second", GL_TEXTURE_WIDTH), 4);
    EXPECT_FALSE(textures.contains("b.png"));
}

TEST_F(TextureManagerTest, UnknownNameBindsZeroAndCanStillBeLoadedLater) {
    save("images/late.png", encoded::png(2, 2, PNG_COLOR_TYPE_RGB, 8, twoByTwo));
    textures.bind("late");
    EXPECT_EQ(boundTexture(), 0);
    EXPECT_FALSE(textures.contains("late"));
    CaptureStderr();
    textures.load("late.png", "late");
    EXPECT_EQ(GetCapturedStderr(), "");
    textures.bind("late");
    EXPECT_NE(boundTexture(), 0);
    textures.unbind();
    EXPECT_EQ(boundTexture(), 0);
}

TEST_F(TextureManagerTest, RemoveDeletesTheTextureButClearOnlyForgetsNames) {
    textures.load("x.png", "cutscene");
    textures.load("y.png", "kept");
    textures.bind("cutscene");
    const GLuint removed = static_cast<GLuint>(boundTexture());
    textures.bind("kept");
    const GLuint forgotten = static_cast<GLuint>(boundTexture());

    textures.remove("cutscene");
    textures.remove("never-loaded");
    EXPECT_FALSE(textures.contains("cutscene"));
    EXPECT_EQ(glIsTexture(removed), GL_FALSE);

    textures.clear();
    EXPECT_FALSE(textures.contains("kept"));
    EXPECT_EQ(glIsTexture(forgotten), GL_TRUE);
    CaptureStderr();
    textures.load("y.png", "kept");
    EXPECT_EQ(GetCapturedStderr(), "");
}
