#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct OggVorbis_File;

// One Ogg Vorbis file decoded to interleaved 16-bit stereo at the file's own rate.
// Mono is spread to both sides so it plays at the right speed; files with more than
// two channels are refused when opened. The decoder state is allocated once and
// reused by every file. libvorbis runs here, in the calling process: the game itself
// uses it only through the music decoder program (see MusicDecoder).
class MusicStream {
public:
    // The numbers travel through the music decoder's pipe.
    enum class OpenResult { Opened = 0, Missing = 1, NotVorbis = 2, TooManyChannels = 3 };

    MusicStream();
    ~MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    // Closes any open file first. Only a regular file opens: a pipe or a device would
    // keep the reader waiting or reading for ever, and counts as missing.
    OpenResult open(const std::string& path);
    void close();
    bool isOpen() const { return opened; }

    // Decodes at most maxFrames stereo frames into out (two samples per frame).
    // Answers the frames written, 0 at the end of the stream, or a negative
    // libvorbisfile error code.
    long read(int16_t* out, long maxFrames);
    // Back to the first byte of the file; false if the decoder cannot seek there.
    bool rewind();
    // Sample rate of the part of the file being decoded.
    long rate();

private:
    std::unique_ptr<OggVorbis_File> decoder;
    bool opened = false;
};
