#include "core/Game.h"
#include "ui/Cutscene.h"
#include "ui/DeathMenu.h"
#include "ui/MainMenu.h"
#include "ui/OptionsMenu.h"
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

void showOptions() {
    Game& game = Game::instance();
    game.openSubmenu(std::make_unique<OptionsMenu>(game.isOnline()), OptionsMenu::Background);
}

}  // namespace

void MainMenu::buildItems() {
    if (Game::instance().continuePoint()) {
        items.push_back(std::make_unique<ContinueItem>());
    }
    items.push_back(std::make_unique<New1PlayerGameItem>());
    items.push_back(std::make_unique<New2PlayerGameItem>());
    items.push_back(std::make_unique<CreditsItem>());
    items.push_back(std::make_unique<OptionsItem>());
    items.push_back(std::make_unique<QuitItem>());
}

void MainMenu::cancel() { Game::instance().quit(); }

void MainMenu::ContinueItem::activate() {
    Game::instance().afterControlsIntro([] { Game::instance().continueCampaign(); });
}

void MainMenu::New1PlayerGameItem::activate() {
    Game::instance().afterControlsIntro([] { Game::instance().startCampaign(true, false); });
}

void MainMenu::New2PlayerGameItem::activate() {
    Game::instance().afterControlsIntro([] {
        Game& game = Game::instance();
        if (!game.startOnlineGame()) {
            game.startCampaign(true, true);
        }
    });
}

void MainMenu::OptionsItem::activate() { showOptions(); }

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
    items.push_back(std::make_unique<OptionsItem>());
}

void PauseMenu::cancel() { resumePlay(); }

void PauseMenu::OptionsItem::activate() { showOptions(); }

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
