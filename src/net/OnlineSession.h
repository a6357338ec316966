#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/InputSeam.h"

// One online co-op game between two machines, in lockstep over ENet. The host plays
// player 1 and the joiner player 2; each person uses their own player-1 keys or
// joystick, and both machines run the identical game from the same settings, data,
// level and seed, each tick only once both sides' input for it is in.
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
