#include "core/Game.h"
#include "ui/Cutscene.h"
#include "ui/DeathMenu.h"
#include "ui/MainMenu.h"
#include "ui/PauseMenu.h"

namespace {

void resumePlay() {
    Game& game = Game::instance();
    game.clearBackground();
    game.closeMenu();
}

void restartPlay() {
    Game& game = Game::instance();
    game.restartLevel();
    game.clearBackground();
    game.closeMenu();
}

void startNewGame(bool twoPlayers) {
    Game& game = Game::instance();
    game.clearBackground();
    game.closeMenu();
    game.startGame(true, twoPlayers, "level1.dat");
}

}  // namespace

void MainMenu::buildItems() {
    items.push_back(std::make_unique<New1PlayerGameItem>());
    items.push_back(std::make_unique<New2PlayerGameItem>());
    items.push_back(std::make_unique<CreditsItem>());
    items.push_back(std::make_unique<QuitItem>());
}

void MainMenu::cancel() { Game::instance().quit(); }

void MainMenu::New1PlayerGameItem::activate() { startNewGame(false); }

void MainMenu::New2PlayerGameItem::activate() {
    if (!Game::instance().startOnlineGame()) {
        startNewGame(true);
    }
}

void MainMenu::CreditsItem::activate() {
    Game& game = Game::instance();
    game.clearBackground();
    game.closeMenu();
    Cutscene::instance().load("cutscenes/credits.dat");
    // A fresh main menu waits underneath the credits.
    game.showMainMenu();
}

void MainMenu::QuitItem::activate() { Game::instance().quit(); }

void PauseMenu::buildItems() {
    items.push_back(std::make_unique<ResumeGameItem>());
    items.push_back(std::make_unique<RestartLevelItem>());
    items.push_back(std::make_unique<ExitToMainMenuItem>());
    items.push_back(std::make_unique<RetryFromCheckpointItem>());
}

void PauseMenu::cancel() { resumePlay(); }

void PauseMenu::ResumeGameItem::activate() { resumePlay(); }

void PauseMenu::RestartLevelItem::activate() { restartPlay(); }

void PauseMenu::ExitToMainMenuItem::activate() { Game::instance().showMainMenu(); }

// The checkpoint's match has no menu: this item is gone once the retry returns.
void PauseMenu::RetryFromCheckpointItem::activate() { Game::instance().retryFromCheckpoint(); }

void DeathMenu::buildItems() {
    items.push_back(std::make_unique<RestartLevelItem>());
    items.push_back(std::make_unique<ExitToMainMenuItem>());
    items.push_back(std::make_unique<RetryFromCheckpointItem>());
}

void DeathMenu::cancel() {}

void DeathMenu::RestartLevelItem::activate() { restartPlay(); }

void DeathMenu::ExitToMainMenuItem::activate() { Game::instance().showMainMenu(); }

void DeathMenu::RetryFromCheckpointItem::activate() { Game::instance().retryFromCheckpoint(); }
