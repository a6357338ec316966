#pragma once

#include <cstdint>

// What the music decoder program (margin-music-decoder) writes on its standard output
// for the game, as 32-bit words in the machine's own byte order (both ends come from
// one installation):
//   1. magic, then MusicStream's OpenResult as a number; nothing follows unless it
//      says the file opened.
//   2. Records of two words:
//        frames > 0, rate: that many 16-bit stereo frames at that rate follow;
//        code < 0, 0:      libvorbisfile failed one read with that code; decoding goes on;
//        0, 0:             the end: the track gave nothing since it last started over,
//                          could not start over, or kept failing.
// The decoder loops the track itself, so a healthy one never ends the pipe. The game
// takes anything else, or the pipe closing without the end record, as a broken decoder.
struct MusicPipe {
    static constexpr int32_t magic = 0x4d42444d;
    static constexpr int32_t mostFrames = 4096;
    static constexpr int32_t mostRate = 1000000;
    // libvorbisfile's codes lie between -1 and -140.
    static constexpr int32_t leastCode = -1000;
    // Failed reads in a row after which the decoder gives the track up with the end record.
    static constexpr int mostErrorsInARow = 16;
};
