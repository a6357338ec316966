#include "FuzzSupport.h"
#include "VorbisGenerator.h"
#include "audio/MusicStream.h"

#include <array>
#include <cstdlib>

namespace {

// Enough to run every packet of a generated stream and start it over once.
constexpr long kMostFrames = 1L << 16;

}  // namespace

// libvorbis's setup and decoding, fed generated Ogg Vorbis files (see VorbisGenerator).
// The decoder program's own calls run here, in the fuzzer's process (MusicStream: the
// header check, then libvorbisfile opening, reading and starting over), so a fault
// inside libvorbis is a finding. With MB_FUZZ_THROUGH_GAME set, the same input plays
// through the game's player instead, where any such finding must cost only the music:
// scripts/fuzz.sh replays findings and kept inputs that way. MB_FUZZ_VORBIS_OUT=FILE
// (an absolute path) keeps the generated file, to play it elsewhere.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file = fuzz::generateVorbis(data, size);
    fuzz::writeFile("music/generated.ogg", file);
    if (const char* keep = std::getenv("MB_FUZZ_VORBIS_OUT"); keep != nullptr && *keep != '\0') {
        fuzz::writeFile(keep, file);
    }
    if (std::getenv("MB_FUZZ_THROUGH_GAME") != nullptr) {
        fuzz::playMusic("generated.ogg");
        return 0;
    }
    MusicStream stream;
    if (stream.open("music/generated.ogg") != MusicStream::OpenResult::Opened) {
        return 0;
    }
    std::array<int16_t, 2 * 4096> frames{};
    long decoded = 0;
    int errorsInARow = 0;
    int startsOver = 0;
    bool decodedSinceStart = false;
    while (decoded < kMostFrames) {
        const long got = stream.read(frames.data(), 4096);
        if (got > 0) {
            decoded += got;
            errorsInARow = 0;
            decodedSinceStart = true;
        } else if (got == 0) {
            if (!decodedSinceStart || ++startsOver > 1 || !stream.rewind()) {
                break;
            }
            decodedSinceStart = false;
        } else if (++errorsInARow >= 16) {
            break;
        }
    }
    return 0;
}
