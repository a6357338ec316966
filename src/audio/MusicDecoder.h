#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

class DecoderProcess;

// The game's side of one music track decoded by margin-music-decoder in a process of
// its own, so that a crash, a hang or a runaway allocation inside libvorbis costs the
// music and nothing else. Nothing here waits: every call takes what the pipe holds at
// that moment. A decoder that closes the pipe before its end record, writes anything
// out of format (see MusicPipe.h) or leaves a read unanswered for the time-out is
// killed, and the track is Broken for good.
//
// The program is looked for, in this order: $MARGIN_BRAWLER_MUSIC_DECODER; beside the
// running executable; in ../lib/margin-brawler/ from it (the installed layout); and,
// for programs that run from the build tree (tests, tools), in the build tree's root.
class MusicDecoder {
public:
    enum class State {
        Starting,         // no answer yet
        Playing,          // the file opened; frames come
        Ended,            // the decoder ended the track on its own (see MusicPipe.h)
        Missing,          // no regular, readable file
        NotVorbis,        // refused before decoding
        TooManyChannels,  // more than two channels
        Broken,           // crashed, hung or spoke out of turn
        NotStarted,       // the program could not be started (startFailure says why)
    };

    explicit MusicDecoder(const std::string& path);
    ~MusicDecoder();
    MusicDecoder(const MusicDecoder&) = delete;
    MusicDecoder& operator=(const MusicDecoder&) = delete;

    State state() const { return current; }
    const std::string& startFailure() const { return notStarted; }

    // Up to maxFrames stereo frames into out (two samples per frame), from what has
    // arrived: the frames written, 0 when nothing more is there now, or a negative
    // libvorbisfile code for a read the decoder reported as failed.
    long read(int16_t* out, long maxFrames);
    // The sample rate of the frames read last.
    long rate() const { return lastRate; }

    // Where the program is, or empty when none of the places has it.
    static std::string program();

private:
    using Clock = std::chrono::steady_clock;

    // Reads what the pipe holds into the inbox; false when nothing came.
    bool receive();
    std::size_t waiting() const { return inboxEnd - inboxStart; }
    // Takes one 32-bit word off the inbox.
    int32_t word();
    void fail();

    std::unique_ptr<DecoderProcess> process;
    State current = State::Starting;
    std::string notStarted;
    // Bytes from the pipe not yet taken: a record header or the frames of a record.
    std::array<char, 64 * 1024> inbox{};
    std::size_t inboxStart = 0;
    std::size_t inboxEnd = 0;
    long framesLeftInRecord = 0;
    long recordRate = 0;
    long lastRate = 0;
    int errorsInARow = 0;
    // Set while a read found less than it asked for and nothing new since.
    bool starved = false;
    Clock::time_point starvedSince;
};
