#include "render/CreditsHUD.h"

#include <GL/gl.h>

#include <cmath>

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

// Every prompt picture is drawn upright: texture t = 0 is the image's top row.
void promptQuad(double left, double right, double bottom, double top) {
    glBegin(GL_QUADS);
    glTexCoord2d(0, 0); glVertex3d(left, top, 0.0);
    glTexCoord2d(1, 0); glVertex3d(right, top, 0.0);
    glTexCoord2d(1, 1); glVertex3d(right, bottom, 0.0);
    glTexCoord2d(0, 1); glVertex3d(left, bottom, 0.0);
    glEnd();
}

}  // namespace

CreditsHUD::CreditsHUD() { drawLast = true; }

void CreditsHUD::update(int milliseconds) { elapsedSeconds += milliseconds / 1000.0f; }

int CreditsHUD::creditsDigit(int credits) { return Font::digitCells(kCreditsX, credits, 1).front().digit; }

int CreditsHUD::continueSeconds(int remainingMilliseconds) {
    return remainingMilliseconds > 0 ? remainingMilliseconds / 1000 + 1 : 0;
}

bool CreditsHUD::joinPromptShown(int credits, const StickFigure* player) {
    return credits > 0 && (player == nullptr || player->isDead());
}

void CreditsHUD::draw() {
    // Credits mean nothing at home: a home game would show a useless "credits 0".
    if (Settings::instance().getInt("arcade") == 0) {
        return;
    }
    const Game& game = Game::instance();
    const int credits = game.getCoinClient()->getCredits();
    TextureManager& textures = TextureManager::instance();

    const OverlayMatrices overlay;
    glDisable(GL_DEPTH_TEST);
    glColor3d(1.0, 1.0, 1.0);

    textures.bind("credits");
    promptQuad(-0.2, 0.2, kCreditsY, kCreditsY + Font::CellSize);
    Font::drawNumber(kCreditsX, kCreditsY, credits, 1);

    const int seconds = continueSeconds(game.getContinueCountdown());
    if (seconds > 0) {
        textures.bind("continue");
        promptQuad(-0.3, 0.3, kContinueY, kContinueY + Font::CellSize);
        Font::drawNumber(kContinueX, kContinueY, seconds, Font::AllDigits);
    }

    const double p = std::sin(elapsedSeconds) * kPulseSize;
    const double bottom = -0.9 - p;
    const double top = -0.775 + p;
    if (joinPromptShown(credits, game.getPlayer1())) {
        textures.bind("join");
        promptQuad(-0.9 - p, -0.5 + p, bottom, top);
    }
    if (joinPromptShown(credits, game.getPlayer2())) {
        textures.bind("join");
        promptQuad(0.5 - p, 0.9 + p, bottom, top);
    }

    textures.unbind();
    glEnable(GL_DEPTH_TEST);
}
