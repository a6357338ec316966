#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/InputEvent.h"
#include "replay/ReplayFile.h"

// Everything the two sides of an online game say to each other, and its one byte
// format: a type byte, then the fields in order, integers little-endian, strings as a
// 16-bit length and the bytes. Decoding trusts nothing: every size, count, tick, event
// kind and code is checked before use, no text holds a control character, and anything
// else is refused with a reason.
struct NetMessage {
    enum class Type : uint8_t {
        Hello = 1,   // joiner: who it is and what data it plays with
        Start = 2,   // host: the game both will play
        Input = 3,   // one side's input for one tick
        Digest = 4,  // one side's state after `tick` ticks
        End = 5,     // the sender's game is over (see EndKind)
        Alive = 6,   // nothing to say, but still here
        // Rollback play, unreliable: the sender's input for a run of ticks (all the
        // receiver has not acknowledged), what it holds of the receiver's, and its pace.
        Inputs = 7,
    };
    enum class EndKind : uint8_t {
        Left = 1,      // gave up or quit; `tick` is where its game returned to the menu, or -1
        Refused = 2,   // the handshake failed: `text` says why, in the receiver's words
        OutOfStep = 3, // the digests differ or a message was malformed: `text` says where
    };

    // Lockstep speaks Protocol; rollback play speaks RollbackProtocol, whose greeting and
    // start also carry the rollback depth.
    static constexpr int Protocol = 1;
    static constexpr int RollbackProtocol = 2;
    // Far beyond any real message; a bigger one is hostile.
    static constexpr std::size_t MostBytes = 1 << 20;
    static constexpr std::size_t MostSettings = 8192;
    static constexpr std::size_t MostDataFiles = 4096;
    // What a person's hands and stick can change in one 20 ms tick: both stick axes and
    // a handful of keys. A sender spreads a larger burst over the following ticks, so
    // a message beyond this is hostile, and the receiver's replay grows no faster.
    static constexpr std::size_t MostEventsPerTick = 8;
    static constexpr std::size_t MostTextBytes = 400;
    static constexpr int MostDelay = 30;
    static constexpr int MostRollback = 30;
    // Ticks one Inputs message may carry: far more than the unacknowledged input of two
    // sides that wait for each other beyond the rollback depth.
    static constexpr std::size_t MostInputTicks = 128;
    // The synthetic key codes an online game binds its 16 controls to, and the two
    // joystick numbers its sticks arrive on: no real device produces these, and both
    // lie within what a replay file may hold, so an online game's replay plays back.
    static constexpr int ControlKeyBase = 768;
    static constexpr int SlotJoystickBase = 100;
    // Real keys are character codes or 256 + GLUT's special-key code.
    static constexpr int MostRealKey = 511;

    Type type = Type::Alive;
    // Hello
    int protocol = Protocol;
    std::string gameVersion;
    std::vector<ReplayFile::DataFile> data;
    // Hello and Start under RollbackProtocol (0 otherwise): how many ticks a side may
    // run ahead of the other's input
    int rollback = 0;
    // Start
    unsigned seed = 0;
    int delay = 0;
    std::string levelFile;
    std::vector<std::string> settings;
    // Input, Digest, End; Inputs: the first tick of `ticks`
    int tick = 0;
    std::vector<InputEvent> events;
    // Inputs: the events of each tick from `tick` on; the ticks of the receiver's input
    // the sender holds (every one before `acknowledged`); the tick the sender runs next
    // and how far it runs ahead of what it has heard of the receiver.
    std::vector<std::vector<InputEvent>> ticks;
    int acknowledged = 0;
    int runningTick = 0;
    int lead = 0;
    // Digest: the StateDigest's text; End: the line to show
    std::string text;
    EndKind endKind = EndKind::Left;

    // The ticks the receiver can believe in now; Input and Digest outside it are refused.
    struct TickWindow {
        int first = 0;
        int last = 0;
    };

    std::vector<uint8_t> encode() const;
    // False with `error` set when the bytes are not a well-formed message.
    static bool decode(const uint8_t* bytes, std::size_t size, const TickWindow& window, NetMessage& message,
                       std::string& error);
};
