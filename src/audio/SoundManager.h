#pragma once

#include "audio/AlName.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

class AudioDevice;
class MusicStream;

// Sound effects by name and one streamed, endlessly looping music track.
// Each effect name owns one buffer on one source, so replaying a name restarts it
// instead of layering a second copy. Music streams through four buffers that the
// game tick refills; at the end of the file the decoder rewinds. Without an audio
// device every call is silently harmless.
class SoundManager {
public:
    static SoundManager& instance();
    ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    void loadSoundList(const std::string& path);
    void loadSound(const std::string& name, const std::string& fileName);
    // count and loudness are accepted from callers but change nothing audible.
    void playSound(const std::string& name, int count = 1, float loudness = 1.0f);
    void playMusic(const std::string& fileName);
    void stopMusic();
    // Once per tick: refill the music queue.
    void updateMusic();
    // Releases the music, every effect and the device; afterwards every call is
    // silent. The process exit does the same; tests use it to flush the output.
    void shutdown();

    // Loudness from 0 to 10 (10 plays sounds as recorded; each step down is a smaller
    // share of the gain, (volume / 10)^2, as the ear hears loudness). Read from the
    // settings "musicVolume" and "effectsVolume" (absent: 10) when the manager is made,
    // then changed only through these. Music at 0 plays nothing, as "music 0" does;
    // raising it from 0 starts the last track asked for again.
    void setMusicVolume(int volume);
    void setEffectsVolume(int volume);
    int getMusicVolume() const { return musicVolume; }
    int getEffectsVolume() const { return effectsVolume; }

    bool hasAudio() const { return device != nullptr; }
    bool isMusicPlaying() const { return static_cast<bool>(musicSource); }
    // The OpenAL source playing the named effect, or 0 when the name is unknown.
    ALuint soundSource(const std::string& name) const;

private:
    SoundManager();
    // Decodes the next 64 KiB of music into buffer, rewinding at the end of the file.
    // False when the stream gave nothing (empty, or failing again and again).
    bool fillMusicBuffer(ALuint buffer);

    // Declared buffer first: the source that plays a buffer must go before it.
    struct Effect {
        AlBuffer buffer;
        AlSource source;
    };

    std::unique_ptr<AudioDevice> device;
    std::map<std::string, Effect> sounds;
    std::array<AlBuffer, 4> musicBuffers;
    AlSource musicSource;
    std::unique_ptr<MusicStream> musicStream;
    int musicVolume = 10;
    int effectsVolume = 10;
    // What playMusic was last asked for, played again when the music volume leaves 0.
    std::string lastTrack;
    // One buffer's worth of PCM: 16384 frames of 16-bit stereo, 64 KiB.
    std::array<int16_t, 2 * 16384> musicArea{};
};
