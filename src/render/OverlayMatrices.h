#pragma once

// Draws on top of the scene with both matrices set to identity (normalised device
// coordinates), restoring the projection and model-view matrices when it goes out of
// scope. The model-view matrix is the current one while it lives.
class OverlayMatrices {
public:
    OverlayMatrices();
    ~OverlayMatrices();
    OverlayMatrices(const OverlayMatrices&) = delete;
    OverlayMatrices& operator=(const OverlayMatrices&) = delete;
};
