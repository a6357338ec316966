#pragma once

#include "world/Object.h"

// The arcade prompts: credits, the continue countdown and pulsing join prompts.
class CreditsHUD : public Object {
public:
    CreditsHUD();

    void update(int milliseconds) override;
    void draw() override;
    void kill() override {}

    float elapsedSeconds = 0.0f;
};
