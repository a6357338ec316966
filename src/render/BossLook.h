#pragma once

// What a boss wears on its head, as its cutscenes draw it: a gold crown, red eyes, or
// both. Drawn in the game's flat style from the shared shapes (ShapeLists), on the head
// ball at the current origin, in the frame the body draws its head in (y up, the figure
// facing +x); the eyes turn towards the eye of the current projection, so they show
// whichever way the boss faces.
struct BossLook {
    bool crown = false;
    bool redEyes = false;

    bool plain() const { return !crown && !redEyes; }
    // Leaves the current colour at the last part's; the caller sets its own again.
    void draw(float headRadius) const;
};
