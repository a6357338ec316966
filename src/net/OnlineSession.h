#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/InputSeam.h"

// One online co-op game between two machines over ENet. The host plays player 1 and
// the joiner player 2; each person uses their own player-1 keys or joystick, and both
// machines run the identical game from the same settings, data, level and seed.
//
// In lockstep (rollback 0) each tick runs only once both sides' input for it is in. With
// rollback, each side runs its own input at once and guesses the other's as unchanged
// (no key pressed or let go, the stick where it was), keeping a copy of the match for
// every tick run on a guess. When the other side's input for such a tick turns out to
// differ, the match is brought back to that tick and the ticks since run again before
// the next frame. Only the fight runs on a guess: menus and cutscenes wait for the other
// side's input, so no guessed tick can leave a menu or return to the main menu.
// Digests, replays and anything said about the game concern certain ticks only.
//
// The Game owns the session while an online game is being set up or played, services
// it once per main-loop tick, draws the waiting screen while it connects, starts the
// level once it is Starting, and attaches it to the input seam as the replacement for
// the live devices during play. The session never blocks.
class OnlineSession : public InputSeam::Replacement {
public:
    struct Options {
        std::string host;  // empty: this machine hosts and waits
        int port = 7788;
        int delay = 3;  // input delay in ticks
        std::string levelFile = "level1.dat";  // the host's choice; a joiner's is ignored
        int rollback = 0;  // ticks a side may run ahead of the other's input; 0: lockstep
        unsigned seed = 0;  // the host's game seed (tools comparing games); 0: a random one
    };

    enum class Phase {
        Connecting,  // waiting for the other player, or shaking hands
        Starting,    // agreed: the Game starts levelFile() now and attaches the session
        Playing,     // the game runs in lockstep
        Ended,       // over: endReason() says why (empty for a normal return to the menu)
    };

    explicit OnlineSession(const Options& options);
    // Tells the other side goodbye and puts back any settings the session replaced.
    ~OnlineSession() override;
    OnlineSession(const OnlineSession&) = delete;
    OnlineSession& operator=(const OnlineSession&) = delete;

    // Once per main-loop tick, in every phase: sends, receives, notices silence.
    void service();
    Phase phase() const;
    const std::string& levelFile() const;
    // The input delay in ticks both sides agreed on (the host's), once Starting.
    int inputDelay() const;
    // The rollback depth both sides agreed on (the host's; 0 in lockstep), once Starting.
    int rollbackDepth() const;

    // What rollback cost so far, for the player's corner and for measurements.
    struct RollbackFigures {
        long rollbacks = 0;
        // The tick the first rollback went back to (-1: none yet).
        int firstFrom = -1;
        // The most ticks one rollback ran again.
        int longest = 0;
        long ticksRunAgain = 0;
        // Processor time spent bringing back matches and running ticks again.
        double secondsRunningAgain = 0.0;
        // Times a tick waited because the other side was more than the depth behind,
        // and times this side held a tick back so as not to run ahead of the other.
        long waits = 0;
        long paceHolds = 0;
    };
    const RollbackFigures& rollbackFigures() const;
    // Ticks of play the game has run so far (with rollback, guessed ones included).
    int ticksRun() const;
    int rollbacksLastSecond() const;
    // Once the game has been held this long, the player is told so, and Escape gives up.
    static constexpr int StallNoticeMilliseconds = 500;

    // Milliseconds the game has been held back waiting for the network (0 while it runs).
    int stalledMilliseconds() const;
    int roundTripMilliseconds() const;
    // One line for the player once Ended: the peer quit or went silent, the data
    // differs (naming the file), the game went out of step (tick and first difference).
    // Free of control characters, whatever the peer sent.
    const std::string& endReason() const;
    // The local player gives up (Escape on the waiting screen): the peer is told.
    void giveUp();
    // Puts this machine's own settings back now, before anything after the game is
    // shown (the session also does so as play ends at the seam).
    void restoreSettings();
    // Bytes this side has sent and received over the connection so far.
    uint64_t bytesSent() const;
    uint64_t bytesReceived() const;

    unsigned seed() const override;
    bool tickReady() override;
    void playStarted(const InputSeam::PlayStart& start) override;
    void inputDelivered(const InputEvent& event) override;
    void tickStarting() override;
    void tickEnded() override;
    void playEnded() override;
    void liveKey(int key, bool down) override;
    void liveJoystickButton(int joystick, int button, bool down) override;
    void liveJoystickAxis(int joystick, int axis, double value) override;
    int credits(int poll, int held) override;

private:
    class Impl;
    std::unique_ptr<Impl> impl;
};
