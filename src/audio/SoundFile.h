#pragma once

#include <AL/al.h>

#include <string>

// Loads one sound effect file into a new OpenAL buffer through ALUT, after reading the
// file itself with a size limit and checking that every chunk size a RIFF/WAVE or Sun
// AU header states fits inside the file: ALUT allocates whatever a header claims
// before it reads. A refused or unloadable file gives buffer 0 and an ALUT error code.
class SoundFile {
public:
    // Sound effects are short; 16 MiB holds over a minute and a half of CD-quality stereo.
    static constexpr long maxBytes = 16L << 20;

    struct Loaded {
        ALuint buffer = 0;
        ALenum error = 0;
    };

    static Loaded load(const std::string& path);
};
