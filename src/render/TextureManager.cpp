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

std::uint64_t roundedUp(int side) {
    std::uint64_t power = 1;
    while (power < static_cast<std::uint64_t>(side)) power *= 2;
    return power;
}

std::uint64_t uploadBytes(const Image& image) {
    return roundedUp(image.width()) * roundedUp(image.height()) * 4 * 4 / 3;
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
        load(entry.file, entry.name, path + ":" + std::to_string(entry.line));
    }
}

void TextureManager::load(const std::string& fileName, const std::string& textureName, const std::string& namedAt) {
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
    const Image image = Image::fromFile("images/" + fileName);
    const std::uint64_t bytes = uploadBytes(image);
    if (bytes > MostBytes - inUse) {
        glDeleteTextures(1, &id);
        std::cerr << (namedAt.empty() ? "" : namedAt + ": ") << "images/" << fileName
                  << " is not loaded: the textures would take more than " << (MostBytes >> 20) << " MiB"
                  << std::endl;
        return;
    }
    glBindTexture(GL_TEXTURE_2D, id);
    upload(image);
    textures[textureName] = Texture{id, bytes};
    inUse += bytes;
}

void TextureManager::bind(const std::string& textureName) {
    const auto it = textures.find(textureName);
    glBindTexture(GL_TEXTURE_2D, it == textures.end() ? 0 : it->second.id);
}

void TextureManager::unbind() { glBindTexture(GL_TEXTURE_2D, 0); }

void TextureManager::remove(const std::string& textureName) {
    const auto it = textures.find(textureName);
    if (it == textures.end()) {
        return;
    }
    glDeleteTextures(1, &it->second.id);
    inUse -= it->second.bytes;
    textures.erase(it);
}
