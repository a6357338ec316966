#include "ui/Cutscene.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <iostream>

#include "core/ConsoleProblems.h"
#include "core/DataFileName.h"
#include "core/Game.h"
#include "render/FramedPicture.h"
#include "render/TextureManager.h"
#include "ui/CutsceneScript.h"

namespace {

// freeglut aborts the process when asked to draw or swap without a window (before
// glutInit, or in a program that never opened one), so the loading picture is only
// shown where there is a window to show it in.
bool windowExists() { return glutGet(GLUT_INIT_STATE) != 0 && glutGetWindow() != 0; }

}  // namespace

Cutscene& Cutscene::instance() { return Game::instance().getMatch().cutscene; }

bool Cutscene::load(const std::string& path, Audience watching) {
    ConsoleProblems console;
    CutsceneScript script;
    // Level files name cutscenes: only a regular file inside the data folder is read.
    if (!DataFileName::isDataPath(path) || !DataFileName::isRegularFileInside(path) || !script.read(path, console)) {
        std::cout << "Could not open cutscene: " << DataFileName::printable(path) << std::endl;
        return false;
    }
    std::cout << "Loaded " << path << "\n";

    Game& game = Game::instance();
    game.setBackground("loading");
    if (windowExists()) {
        game.draw();
    }

    loadPictures(script, path);
    source = path;
    audience = watching;
    frames = std::move(script.frames);
    if (frames.empty()) {
        end();
    } else {
        show(frames.front());
        next = frames.size() >= 2 ? frames[1] : CutsceneFrame{};
    }
    game.clearBackground();
    return isPlaying();
}

void Cutscene::loadPictures(const CutsceneScript& script, const std::string& path) {
    TextureManager& textures = TextureManager::instance();
    for (const CutsceneScript::Picture& picture : script.pictures) {
        textures.load(picture.file, picture.texture, path + ":" + std::to_string(picture.line));
        loadedTextures.push_back(picture.texture);
    }
}

void Cutscene::resumeAfter(const std::vector<std::string>& texturesBefore) {
    TextureManager& textures = TextureManager::instance();
    for (const std::string& name : texturesBefore) {
        if (std::find(loadedTextures.begin(), loadedTextures.end(), name) == loadedTextures.end()) {
            textures.remove(name);
        }
    }
    const bool complete = std::all_of(loadedTextures.begin(), loadedTextures.end(),
                                      [&textures](const std::string& name) { return textures.contains(name); });
    if (complete) {
        return;
    }
    // The file was read when the show started and is read again for its pictures; one
    // that has gone since leaves them drawn as missing textures.
    ConsoleProblems console;
    CutsceneScript script;
    if (DataFileName::isDataPath(source) && DataFileName::isRegularFileInside(source) && script.read(source, console)) {
        for (const CutsceneScript::Picture& picture : script.pictures) {
            if (!textures.contains(picture.texture)) {
                textures.load(picture.file, picture.texture, source + ":" + std::to_string(picture.line));
            }
        }
    }
}

void Cutscene::update(int milliseconds) {
    if (!isPlaying()) {
        return;
    }
    if (current.hold > 0) {
        // Stops at 0, so a hold that is no whole number of ticks still ends.
        current.hold = std::max(0, current.hold - milliseconds);
    } else if (current.fade > 0) {
        current.fade -= milliseconds;
    } else if (current.hold == 0) {
        // Never reached with a negative hold: that slide stays up until the show is skipped.
        if (frames.size() >= 2) {
            frames.pop_front();
            show(frames.front());
            next = frames.size() >= 2 ? frames[1] : CutsceneFrame{};
        } else {
            end();
        }
    }
}

void Cutscene::show(const CutsceneFrame& frame) {
    current = frame;
    if (audience == Audience::Nobody && current.hold < 0) {
        current.hold = 0;
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

// Slides are stored top row first; like every full-window picture they fill the frame
// and their edges run on to the window's sides.
void Cutscene::draw() const {
    const FramedPicture picture(Game::instance().pictureFrame());
    TextureManager& textures = TextureManager::instance();
    switch (look()) {
    case Look::Opaque:
        textures.bind(current.texture);
        glColor4d(1.0, 1.0, 1.0, 1.0);
        picture.draw(0.0, 0.0);
        break;
    case Look::CrossFade:
        if (!next.texture.empty()) {
            textures.bind(next.texture);
            glColor4d(1.0, 1.0, 1.0, 1.0);
            picture.draw(0.0, 0.0);
        }
        // Nearer than the next slide, so it passes the depth test over it.
        textures.bind(current.texture);
        glColor4d(1.0, 1.0, 1.0, fadeAlpha());
        picture.draw(0.5, 0.0);
        break;
    case Look::Blank:
        break;
    }
}
