#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What every fuzz target shares: a private scratch data directory that the process
// works in, as the game works in its data directory, and a way to hand the input to
// a loader as a file.
namespace fuzz {

// Once per process, before the first input (this library's LLVMFuzzerInitialize): makes a fresh directory with the data
// folders the loaders look in (images, sounds, music, levels, animations, cutscenes),
// changes into it and removes it at exit. OpenAL gets its null device, so sound code
// runs for real without a sound card, and the game's console chatter is dropped.
void enterScratchDataDirectory();

// Replaces the file at path (relative to the scratch directory) with the bytes.
void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size);
void writeFile(const std::string& path, const std::string& text);

// Plays music/<fileName> through the game's own player (its decoder process) while
// ticking, until the track is refused, fails or ends, or for a moment: 60 ms, or
// $MB_FUZZ_MUSIC_MS, which scripts/fuzz.sh raises past the decoder's time-out when it
// replays kept inputs, so that a hang is seen through.
void playMusic(const std::string& fileName);

// Takes fuzz bytes from the front: a chooser for the harness's own decisions that
// answers 0 once the input is used up.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}
    std::uint8_t byte() { return offset < size ? data[offset++] : 0; }
    // Up to count bytes from the front; fewer when the input runs out.
    std::string take(std::size_t count);
    bool empty() const { return offset >= size; }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset = 0;
};

}  // namespace fuzz
