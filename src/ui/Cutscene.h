#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/CutsceneFrame.h"

class CutsceneScript;

// The slide-show player: cutscenes between parts of a level, the credits and the arcade
// attract loop. A cutscene file names its own textures; they live from load until the
// show ends or is skipped. While a show plays the game advances it instead of the world
// and draws it over everything else. Where a show stands is part of the Match; the
// textures are the TextureManager's, and a match brought back takes them over
// (resumeAfter).
class Cutscene {
public:
    // How the slide being shown appears at the moment.
    enum class Look { Opaque, CrossFade, Blank };
    // Who watches: a player can press on past a slide whose hold is negative; in the
    // arcade attract loop nobody can, so there such a hold counts as 0.
    enum class Audience { Player, Nobody };

    // The player of the current Game's match.
    static Cutscene& instance();

    Cutscene() = default;

    // Reads the file and starts its first slide; a file that cannot be opened changes
    // nothing. True when a show started (a file without slides ends at once).
    bool load(const std::string& path, Audience watching = Audience::Player);
    // Called with every game tick while playing.
    void update(int milliseconds);
    // Full-window drawing on top of the scene; needs the GL context.
    void draw() const;
    bool isPlaying() const { return !current.texture.empty(); }
    void skip();
    void releaseTextures();
    // This show was brought back in place of one that had loaded `texturesBefore`: the
    // textures only that one used are released, and those this show needs and that are
    // gone are loaded again.
    void resumeAfter(const std::vector<std::string>& texturesBefore);

    const CutsceneFrame& currentFrame() const { return current; }
    const CutsceneFrame& nextFrame() const { return next; }
    const std::deque<CutsceneFrame>& remainingFrames() const { return frames; }
    const std::vector<std::string>& loadedTextureNames() const { return loadedTextures; }
    Look look() const;
    // Opacity of the current slide during a cross-fade: 1 when the fade starts, 0 at its end.
    float fadeAlpha() const;

private:
    void loadPictures(const CutsceneScript& script, const std::string& path);
    void show(const CutsceneFrame& frame);
    void end();

    std::deque<CutsceneFrame> frames;
    CutsceneFrame current;
    CutsceneFrame next;
    std::vector<std::string> loadedTextures;
    // The file the textures above came from.
    std::string source;
    Audience audience = Audience::Player;
};
