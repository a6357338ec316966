#pragma once

#include <array>
#include <memory>

#include "world/Object.h"

// The arcade prompts: credits, the continue countdown, and at each player's place a
// pulsing join prompt while that player could join and a credit waits, or INSERT COIN
// while one could join and none does. INSERT COIN also flashes for a moment at the place
// whose Start was pressed without a credit. Everything but its own clocks is read from
// the Game when drawn.
class CreditsHUD : public Object {
public:
    // What the prompts show.
    struct View {
        int credits = 0;
        int continueMilliseconds = 0;
        // Whether the player of each place (0 the first) could join or start now.
        std::array<bool, 2> placeOpen{};
    };
    enum class Prompt { None, Join, InsertCoin };
    // How long INSERT COIN flashes after Start was pressed without a credit.
    static constexpr float FlashSeconds = 2.0f;

    CreditsHUD();

    std::unique_ptr<Object> clone() const override { return std::make_unique<CreditsHUD>(*this); }
    void update(int milliseconds) override;
    void draw() override;
    void kill() override {}
    const char* digestName() const override { return "HUD"; }

    // Draws exactly `view`, wherever it came from.
    void drawView(const View& view) const;
    // Start pressed at place `player` (0 or 1) with no credit to pay.
    void startWithoutCredit(int player);
    Prompt promptAt(int player, const View& view) const;

    // The whole seconds shown for the remaining continue time, counting down to 1;
    // 0 when no countdown is shown.
    static int continueSeconds(int remainingMilliseconds);

    float elapsedSeconds = 0.0f;

private:
    bool flashing(int player) const;

    // elapsedSeconds until which INSERT COIN flashes at each place.
    std::array<float, 2> flashUntil{};
};
