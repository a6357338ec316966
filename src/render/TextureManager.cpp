#include "render/TextureManager.h"

#include "core/ConsoleProblems.h"
#include "render/Image.h"
#include "render/TextureList.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <iostream>

namespace {

// The image rows carry no padding, so the upload must not assume GL's default 4-byte row
// alignment (a 3-byte pixel row of odd width would be read past its end).
void upload(const Image& image) {
    const GLenum format = image.components() == 3 ? GL_RGB : GL_RGBA;
    const GLint filter = image.smooth() ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(format), image.width(), image.height(), format,
                      GL_UNSIGNED_BYTE, image.pixels());
    glPopClientAttrib();
}

}  // namespace

TextureManager& TextureManager::instance() {
    static TextureManager manager;
    return manager;
}

void TextureManager::clear() { textures.clear(); }

void TextureManager::loadList(const std::string& path) {
    ConsoleProblems console;
    for (const TextureList::Entry& entry : TextureList::read(path, console)) {
        load(entry.file, entry.name);
    }
}

void TextureManager::load(const std::string& fileName, const std::string& textureName) {
    if (contains(textureName)) {
        std::cerr << textureName << " already exists!\n";
        return;
    }
    GLuint id = 0;
    glGenTextures(1, &id);
    if (id == 0) {
        std::cout << "Couldn't generate texture id!\n";
        return;
    }
    glBindTexture(GL_TEXTURE_2D, id);
    upload(Image::fromFile("images/" + fileName));
    textures[textureName] = id;
}

void TextureManager::bind(const std::string& textureName) {
    const auto it = textures.find(textureName);
    glBindTexture(GL_TEXTURE_2D, it == textures.end() ? 0 : it->second);
}

void TextureManager::unbind() { glBindTexture(GL_TEXTURE_2D, 0); }

void TextureManager::remove(const std::string& textureName) {
    const auto it = textures.find(textureName);
    if (it == textures.end()) {
        return;
    }
    glDeleteTextures(1, &it->second);
    textures.erase(it);
}
