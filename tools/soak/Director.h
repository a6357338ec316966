#pragma once

#include "GameInput.h"

class CoinServerProcess;
class Dice;
class Game;
class Menu;

// The person in front of the game between fights: picks main-menu entries (never quit),
// pauses now and then and resumes, restarts or leaves; restarts or leaves after a death;
// skips some cutscenes and watches others; in arcade mode inserts coins, starts games
// from the attract loop, joins and revives players, and at the continue countdown pays,
// waits it out or drops out. The players' own hands (PlayerBot) play while a level runs
// and, for a while now and then, mash their buttons on any other screen but a cutscene.
class Director {
public:
    Director(Game& game, GameInput& input, CoinServerProcess& coins, Dice& dice);

    // One tick of decisions; true when the players' hands may act this tick.
    bool act();
    // Leave whatever runs and get back to the main menu (for the change of mode).
    void headForMainMenu(bool value) { leaving = value; }
    bool atMainMenu() const;

    struct Tally {
        int gamesStarted = 0;
        int pauses = 0;
        int restarts = 0;
        int exitsToMenu = 0;
        int creditsShown = 0;
        int cutscenesSkipped = 0;
        int cutscenesWatched = 0;
        int continues = 0;
        int countdownsExpired = 0;
        int dropOuts = 0;
        int joins = 0;
    };
    const Tally& tally() const { return counts; }

private:
    enum class Screen { MainMenu, PauseMenu, DeathMenu, Cutscene, Attract, Countdown, Playing };

    Screen look() const;
    void plan(Screen screen);
    void step(Screen screen);
    void stepMainMenu();
    void stepMenu(bool pause);
    void stepCutscene();
    void stepAttract();
    void stepCountdown();
    void stepPlaying();
    // Moves the selection one entry towards `index`, or activates it once there; true
    // when it was activated.
    bool choose(const Menu& menu, unsigned index);
    bool pressStart(int player);
    int deadOrMissingPlayer() const;
    int anyPlayer();
    GameInput::Device anyDevice();

    Game& game;
    GameInput& input;
    CoinServerProcess& coins;
    Dice& dice;
    Screen screen = Screen::Playing;
    bool leaving = false;
    int waitMilliseconds = 0;
    int mashMilliseconds = 0;
    int choice = 0;
    Tally counts;
};
