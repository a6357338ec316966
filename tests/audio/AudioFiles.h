#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TempDataDir;

// Sound files the audio tests make for themselves, and the recording that OpenAL's
// wave-file driver leaves behind.

// A sine tone as interleaved 16-bit samples, the same on every channel.
std::vector<int16_t> sineTone(int rate, int channels, long frames, double hertz, double amplitude);
// A RIFF/WAVE file of 16-bit PCM.
std::string wavFile(int rate, int channels, const std::vector<int16_t>& samples);
// An Ogg Vorbis file of a sine tone, made by oggenc; frames may be 0 for a stream
// without samples. Creates the parent folder.
void writeOggTone(const std::string& path, int rate, int channels, long frames, double hertz);

// Routes the audio device into a wave file inside dir. Must run before the
// SoundManager is first used; the file is complete once the manager shut down.
std::string recordToWaveFile(const TempDataDir& dir);

struct Recording {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;

    double seconds() const;
    // Largest absolute sample between the two times, as a fraction of full scale.
    double peak(double fromSeconds, double toSeconds) const;
    // The time of the first sample louder than the fraction, or -1.
    double firstSoundAbove(double fraction) const;
    // Rising zero crossings of the first channel per second between the two times.
    double pitch(double fromSeconds, double toSeconds) const;
};

// Reads what the device wrote; empty when there is no file.
Recording readRecording(const std::string& path);
