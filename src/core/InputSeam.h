#pragma once

#include <string>

#include "core/InputEvent.h"

// The one door through which input reaches the Game: the keyboard callbacks, the
// joystick and Wii Remote polls and the coin client all come through here. A listener
// (the replay recorder) sees every input delivered, the start and end of each game and
// every tick; a replacement (replay playback) takes the place of the live devices, so
// the game's classes never ask whether they are being replayed.
//
// With neither attached the seam only forwards, and the game behaves as it always did.
class InputSeam {
public:
    // What starts a game: the level, who joined and the seed of the C generator.
    struct PlayStart {
        std::string levelFile;
        bool player1 = false;
        bool player2 = false;
        unsigned seed = 0;
    };

    class Listener {
    public:
        virtual ~Listener() = default;
        // A game starts, before any of its state is built.
        virtual void playStarted(const PlayStart& start) = 0;
        // Every input, just before the Game acts on it.
        virtual void inputDelivered(const InputEvent& event) = 0;
        // Every tick, after the Game's update.
        virtual void tickEnded() = 0;
        // A tick told of after the game has moved past it: an online game that runs
        // ahead of the other side's input tells of each tick (its input first) once
        // that input is certain. `digestText` is the state digest after the tick on
        // every digest tick of a replay, empty on the others.
        virtual void pastTickEnded(const std::string& digestText) {
            (void)digestText;
            tickEnded();
        }
        // The game returned to the main menu or the attract loop.
        virtual void playEnded() = 0;
    };

    class Replacement : public Listener {
    public:
        // The seed for the game about to start.
        virtual unsigned seed() const = 0;
        // Every tick, before the Game's update: deliver what arrived before this tick.
        virtual void tickStarting() = 0;
        // A key pressed on the real keyboard while the replacement feeds the game.
        virtual void liveKey(int key, bool down) = 0;
        // The count the `poll`-th coin poll of this tick gets; `held` is the count before.
        virtual int credits(int poll, int held) = 0;
        // The real joystick while the replacement feeds the game; ignored unless wanted.
        virtual void liveJoystickButton(int /*joystick*/, int /*button*/, bool /*down*/) {}
        virtual void liveJoystickAxis(int /*joystick*/, int /*axis*/, double /*value*/) {}
        // Whether the Game's next tick may run now. An online game waits here for the
        // other side's input; the Game keeps drawing meanwhile.
        virtual bool tickReady() { return true; }
        // How many ticks the main loop runs in the next 20 ms: 0 holds the game still
        // (a paused replay) while frames are still drawn, more runs it faster.
        virtual int ticksThisFrame() { return 1; }
        // Last in every frame, over everything else: what the replacement has to show
        // (a replay's position bar). Needs the GL context.
        virtual void drawOverlay() const {}
    };

    static InputSeam& instance();

    // Live sources. While a replacement is attached their events do not reach the Game.
    void key(int key, bool down);
    void joystickButton(int joystick, int button, bool down);
    void joystickAxis(int joystick, int axis, double value);
    // The coin client's poll: `held` is its count before, `answered` what the server
    // said (or `held` when no server is connected). Returns the count to keep.
    int coinPolled(int held, int answered);

    // Hands an input to the Game (and shows it to the listener).
    void deliver(const InputEvent& event);

    // The Game's side: a game starts or ends, a tick begins or ends.
    void playStarting(const std::string& levelFile, bool player1, bool player2);
    void playEnding();
    // False while the replacement holds the next tick back; the Game then skips it.
    bool tickReady();
    // The ticks the main loop runs in the next 20 ms: 1 unless a replacement says more
    // or fewer.
    int ticksThisFrame();
    void drawOverlay() const;
    void tickStarting();
    void tickEnded();

    void setListener(Listener* newListener) { listener = newListener; }
    void setReplacement(Replacement* newReplacement) { replacement = newReplacement; }
    Listener* getListener() const { return listener; }
    Replacement* getReplacement() const { return replacement; }
    bool isPlaying() const { return playing; }

private:
    InputSeam() = default;

    Listener* listener = nullptr;
    Replacement* replacement = nullptr;
    bool playing = false;
    int pollsThisTick = 0;
};
