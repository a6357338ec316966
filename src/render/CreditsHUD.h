#pragma once

#include <memory>

#include "world/Object.h"

class StickFigure;

// The arcade prompts: credits, the continue countdown and pulsing join prompts for free
// player places. Everything but its pulse clock is read from the Game when drawn.
class CreditsHUD : public Object {
public:
    CreditsHUD();

    std::unique_ptr<Object> clone() const override { return std::make_unique<CreditsHUD>(*this); }
    void update(int milliseconds) override;
    void draw() override;
    void kill() override {}
    const char* digestName() const override { return "HUD"; }

    // The one digit shown for a credit count.
    static int creditsDigit(int credits);
    // The whole seconds shown for the remaining continue time, counting down to 1;
    // 0 when no countdown is shown.
    static int continueSeconds(int remainingMilliseconds);
    // Whether the place of player (null for an empty place) invites a new player.
    static bool joinPromptShown(int credits, const StickFigure* player);

    float elapsedSeconds = 0.0f;
};
