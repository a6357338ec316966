#include "render/CreditsHUD.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "arcade/CoinClient.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "render/Font.h"
#include "render/OverlayMatrices.h"
#include "render/TextureManager.h"

namespace {

constexpr float kCreditsX = 0.25f;
constexpr float kCreditsY = -0.9f;
constexpr float kContinueX = 0.35f;
constexpr float kContinueY = -0.1f;
constexpr double kPulseSize = 0.01;
// The prompt boxes of the two places, and the row they share.
constexpr double kPlaceLeft[2] = {-0.9, 0.5};
constexpr double kPlaceWidth = 0.4;
constexpr double kPromptBottom = -0.9;
constexpr double kPromptTop = -0.775;
// INSERT COIN may spill a little past its box to stay readable; it blinks this often
// a second while it flashes.
constexpr float kInsertCoinSpill = 1.1f;
constexpr float kFlashBlinks = 4.0f;
const char* const kInsertCoin = "INSERT COIN";

const Color kCoinFill{0.86, 0.1, 0.12, 1.0};
const Color kCoinRim{1.0, 1.0, 1.0, 1.0};
const Color kFlashFill{1.0, 0.84, 0.1, 1.0};
const Color kFlashRim{0.45, 0.0, 0.05, 1.0};

// Every prompt picture is drawn upright: texture t = 0 is the image's top row.
void promptQuad(double left, double right, double bottom, double top) {
    glBegin(GL_QUADS);
    glTexCoord2d(0, 0); glVertex3d(left, top, 0.0);
    glTexCoord2d(1, 0); glVertex3d(right, top, 0.0);
    glTexCoord2d(1, 1); glVertex3d(right, bottom, 0.0);
    glTexCoord2d(0, 1); glVertex3d(left, bottom, 0.0);
    glEnd();
}

bool placeOpen(const Game& game, const StickFigure* player) {
    // In the attract loop either player can start a game, whatever the last one left.
    return game.isAttract() || player == nullptr || player->isDead();
}

}  // namespace

CreditsHUD::CreditsHUD() { drawLast = true; }

void CreditsHUD::update(int milliseconds) { elapsedSeconds += milliseconds / 1000.0f; }

int CreditsHUD::continueSeconds(int remainingMilliseconds) {
    return remainingMilliseconds > 0 ? remainingMilliseconds / 1000 + 1 : 0;
}

void CreditsHUD::startWithoutCredit(int player) {
    if (player == 0 || player == 1) {
        flashUntil[player] = elapsedSeconds + FlashSeconds;
    }
}

bool CreditsHUD::flashing(int player) const { return elapsedSeconds < flashUntil[player]; }

CreditsHUD::Prompt CreditsHUD::promptAt(int player, const View& view) const {
    if (player != 0 && player != 1) {
        return Prompt::None;
    }
    if (view.placeOpen[player]) {
        return view.credits > 0 ? Prompt::Join : Prompt::InsertCoin;
    }
    return view.credits <= 0 && flashing(player) ? Prompt::InsertCoin : Prompt::None;
}

void CreditsHUD::draw() {
    // Credits mean nothing at home: a home game would show a useless "credits 0".
    if (Settings::instance().getInt("arcade") == 0) {
        return;
    }
    const Game& game = Game::instance();
    View view;
    view.credits = game.getCoinClient()->getCredits();
    view.continueMilliseconds = game.getContinueCountdown();
    view.placeOpen = {placeOpen(game, game.getPlayer1()), placeOpen(game, game.getPlayer2())};
    drawView(view);
}

void CreditsHUD::drawView(const View& view) const {
    TextureManager& textures = TextureManager::instance();
    const OverlayMatrices overlay;
    glDisable(GL_DEPTH_TEST);
    glColor3d(1.0, 1.0, 1.0);

    textures.bind("credits");
    promptQuad(-0.2, 0.2, kCreditsY, kCreditsY + Font::CellSize);
    // Every digit, up to the server's 255, at the number's pitch: three still end
    // before the right-hand place's box.
    Font::drawText(kCreditsX, kCreditsY, std::to_string(std::max(0, view.credits)), Font::CellSize);

    const int seconds = continueSeconds(view.continueMilliseconds);
    if (seconds > 0) {
        textures.bind("continue");
        promptQuad(-0.3, 0.3, kContinueY, kContinueY + Font::CellSize);
        Font::drawNumber(kContinueX, kContinueY, seconds, Font::AllDigits);
    }

    const double p = std::sin(elapsedSeconds) * kPulseSize;
    for (int player = 0; player < 2; ++player) {
        const double left = kPlaceLeft[player] - p;
        const double right = kPlaceLeft[player] + kPlaceWidth + p;
        const double bottom = kPromptBottom - p;
        const double top = kPromptTop + p;
        switch (promptAt(player, view)) {
        case Prompt::Join:
            textures.bind("join");
            glColor3d(1.0, 1.0, 1.0);
            promptQuad(left, right, bottom, top);
            break;
        case Prompt::InsertCoin: {
            const bool flash = flashing(player);
            if (flash && std::fmod(elapsedSeconds * kFlashBlinks, 1.0f) >= 0.5f) {
                break;
            }
            const float width = static_cast<float>(right - left) * kInsertCoinSpill;
            const float size = Font::sizeToFit(kInsertCoin, width, Font::CellSize);
            const float textLeft = static_cast<float>((left + right) / 2.0) - Font::textWidth(kInsertCoin, size) / 2.0f;
            const float textBottom = static_cast<float>((bottom + top) / 2.0) - size / 2.0f;
            Font::drawOutlinedText(textLeft, textBottom, kInsertCoin, size, flash ? kFlashFill : kCoinFill,
                                   flash ? kFlashRim : kCoinRim);
            glColor3d(1.0, 1.0, 1.0);
            break;
        }
        case Prompt::None:
            break;
        }
    }

    textures.unbind();
    glEnable(GL_DEPTH_TEST);
}
