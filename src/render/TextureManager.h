#pragma once

#include <map>
#include <string>

// Every picture the game draws is an OpenGL texture selected by a short name. The manager
// owns the textures: it decodes "images/" files into them (a checkerboard stands in for a
// file that cannot be read), binds them by name and deletes them only through remove.
// All calls need the current GL context of the GLUT thread.
class TextureManager {
public:
    static TextureManager& instance();

    // Forgets every name without deleting the textures themselves.
    void clear();
    // Loads every (file, name) pair of a whitespace-separated list; a lone last token is ignored.
    void loadList(const std::string& path);
    // Decodes "images/" + fileName and registers it as textureName; a name already
    // registered keeps its texture and the file is not read.
    void load(const std::string& fileName, const std::string& textureName);
    // A name that was never loaded binds texture 0 (untextured) and stays unregistered.
    void bind(const std::string& textureName);
    void unbind();
    void remove(const std::string& textureName);
    bool contains(const std::string& textureName) const { return textures.count(textureName) != 0; }

private:
    TextureManager() = default;
    std::map<std::string, unsigned> textures;
};
