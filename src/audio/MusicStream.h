#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct OggVorbis_File;

// One Ogg Vorbis file decoded to interleaved 16-bit stereo at the file's own rate.
// Mono is spread to both sides so it plays at the right speed; files with more than
// two channels are refused when opened. The decoder state is allocated once and
// reused by every file.
class MusicStream {
public:
    enum class OpenResult { Opened, Missing, NotVorbis, TooManyChannels };

    MusicStream();
    ~MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    // Closes any open file first.
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
