#pragma once

#include <cstdint>
#include <map>
#include <string>

// Every picture the game draws is an OpenGL texture selected by a short name. The manager
// owns the textures: it decodes "images/" files into them (a checkerboard stands in for a
// file that cannot be read), binds them by name and deletes them only through remove.
// All calls need the current GL context of the GLUT thread.
class TextureManager {
public:
    // The most the registered textures may take, each counted as a driver may store it:
    // both sides rounded up to a power of two, four bytes a pixel and a third more for
    // the smaller mipmap levels. The bundled data needs about 63 MiB at most (every list
    // texture and the largest cutscene). A picture that would pass the limit is not loaded.
    static constexpr std::uint64_t MostBytes = std::uint64_t{384} << 20;

    static TextureManager& instance();

    // Forgets every name without deleting the textures themselves.
    void clear();
    // Loads every (file, name) pair of a whitespace-separated list; a lone last token is ignored.
    void loadList(const std::string& path);
    // Decodes "images/" + fileName and registers it as textureName; a name already
    // registered keeps its texture and the file is not read. A picture beyond MostBytes
    // stays unregistered, with a message on standard error that starts with `namedAt`
    // (the "file:line" that names the picture) when there is one.
    void load(const std::string& fileName, const std::string& textureName, const std::string& namedAt = {});
    // A name that was never loaded binds texture 0 (untextured) and stays unregistered.
    void bind(const std::string& textureName);
    void unbind();
    void remove(const std::string& textureName);
    bool contains(const std::string& textureName) const { return textures.count(textureName) != 0; }
    // What the registered textures take, as MostBytes counts it. Textures that clear
    // forgot still count: they are still uploaded.
    std::uint64_t bytesInUse() const { return inUse; }

private:
    struct Texture {
        unsigned id = 0;
        std::uint64_t bytes = 0;
    };

    TextureManager() = default;
    std::map<std::string, Texture> textures;
    std::uint64_t inUse = 0;
};
