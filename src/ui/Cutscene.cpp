#include "ui/Cutscene.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <fstream>
#include <iostream>

#include "core/Game.h"
#include "render/OverlayMatrices.h"
#include "render/TextureManager.h"

namespace {

// freeglut aborts the process when asked to draw or swap without a window (before
// glutInit, or in a program that never opened one), so the loading picture is only
// shown where there is a window to show it in.
bool windowExists() { return glutGet(GLUT_INIT_STATE) != 0 && glutGetWindow() != 0; }

// Texture coordinates run with the window's y downwards, so pictures appear upright.
void fullWindowQuad(double width, double height, double z) {
    glBegin(GL_QUADS);
    glTexCoord2d(0, 0); glVertex3d(0, 0, z);
    glTexCoord2d(1, 0); glVertex3d(width, 0, z);
    glTexCoord2d(1, 1); glVertex3d(width, height, z);
    glTexCoord2d(0, 1); glVertex3d(0, height, z);
    glEnd();
}

}  // namespace

Cutscene& Cutscene::instance() {
    static Cutscene player;
    return player;
}

void Cutscene::load(const std::string& path) {
    std::ifstream file(path);
    if (!file) {
        std::cout << "Could not open cutscene: " << path << std::endl;
        return;
    }
    std::cout << "Loaded " << path << "\n";

    Game& game = Game::instance();
    game.setBackground("loading");
    if (windowExists()) {
        game.draw();
    }

    frames.clear();
    parse(file);
    if (frames.empty()) {
        end();
    } else {
        current = frames.front();
        next = frames.size() >= 2 ? frames[1] : CutsceneFrame{};
    }
    game.clearBackground();
}

// Entries are a keyword and its tokens; every keyword but "frame" introduces a texture.
// An entry cut short or with numbers that do not read ends the file there.
void Cutscene::parse(std::istream& in) {
    std::string keyword;
    while (in >> keyword) {
        if (keyword == "frame") {
            CutsceneFrame frame;
            if (!(in >> frame.texture >> frame.hold >> frame.fade >> frame.transition)) {
                return;
            }
            frames.push_back(frame);
        } else {
            std::string textureName;
            std::string fileName;
            if (!(in >> textureName >> fileName)) {
                return;
            }
            TextureManager::instance().load(fileName, textureName);
            loadedTextures.push_back(textureName);
        }
    }
}

void Cutscene::update(int milliseconds) {
    if (!isPlaying()) {
        return;
    }
    if (current.hold > 0) {
        current.hold -= milliseconds;
    } else if (current.fade > 0) {
        current.fade -= milliseconds;
    } else if (current.hold == 0) {
        // A hold that stepped past zero leaves the slide up until the show is skipped.
        if (frames.size() >= 2) {
            frames.pop_front();
            current = frames.front();
            next = frames.size() >= 2 ? frames[1] : CutsceneFrame{};
        } else {
            end();
        }
    }
}

void Cutscene::end() {
    current.texture.clear();
    next = CutsceneFrame{};
    releaseTextures();
}

void Cutscene::skip() {
    frames.clear();
    end();
}

void Cutscene::releaseTextures() {
    for (const std::string& name : loadedTextures) {
        TextureManager::instance().remove(name);
    }
    loadedTextures.clear();
}

Cutscene::Look Cutscene::look() const {
    if (current.hold > 0 || current.transition == CutsceneFrame::StayOpaque) {
        return Look::Opaque;
    }
    return current.transition == CutsceneFrame::CrossFade ? Look::CrossFade : Look::Blank;
}

// The slide as read from the file gives the full fade time; a slide without one has
// nothing left to fade out.
float Cutscene::fadeAlpha() const {
    if (frames.empty() || frames.front().fade <= 0) {
        return 0.0f;
    }
    const float alpha = static_cast<float>(current.fade) / static_cast<float>(frames.front().fade);
    return std::clamp(alpha, 0.0f, 1.0f);
}

void Cutscene::draw() const {
    const Game& game = Game::instance();
    const double width = game.getWindowWidth();
    const double height = game.getWindowHeight();

    const OverlayMatrices overlay;
    glMatrixMode(GL_PROJECTION);
    glOrtho(0.0, width, height, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);

    TextureManager& textures = TextureManager::instance();
    switch (look()) {
    case Look::Opaque:
        textures.bind(current.texture);
        glColor4d(1.0, 1.0, 1.0, 1.0);
        fullWindowQuad(width, height, 0.0);
        break;
    case Look::CrossFade:
        if (!next.texture.empty()) {
            textures.bind(next.texture);
            glColor4d(1.0, 1.0, 1.0, 1.0);
            fullWindowQuad(width, height, 0.0);
        }
        // Nearer than the next slide, so it passes the depth test over it.
        textures.bind(current.texture);
        glColor4d(1.0, 1.0, 1.0, fadeAlpha());
        fullWindowQuad(width, height, 0.5);
        break;
    case Look::Blank:
        break;
    }
}
