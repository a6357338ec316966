#pragma once

#include "audio/AlName.h"
#include "audio/SoundLedger.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

class AudioDevice;
class MusicDecoder;

// Sound effects by name and one streamed, endlessly looping music track.
// Each effect name owns one buffer on one source, so replaying a name restarts it
// instead of layering a second copy. Music is decoded by a process of its own (see
// MusicDecoder), which starts the file over at its end, and streams through four
// buffers that the game tick refills from what the decoder has sent, never waiting for
// it. A track whose decoder fails in any way is reported once and then silent; the game
// goes on. Without an audio device every call is silently harmless.
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
    // Starts the decoder and returns; the music sounds from a later tick on. A file
    // that is missing is reported at once, any other fault on the tick that finds it.
    void playMusic(const std::string& fileName);
    void stopMusic();
    // Once per tick: refill the music queue, report and drop a failed track.
    void updateMusic();
    // Ticks that may be taken back and run again (online play ahead of the other side's
    // input): from fileSoundsUnder on, every effect is filed under the tick given last.
    // After takeBackSoundsFrom(tick) the ticks from `tick` on run again; an effect they
    // ask for again keeps sounding rather than starting over, and settleSounds() stops
    // the taken-back effects that were not asked for again. stopFilingSounds() ends it.
    void fileSoundsUnder(int tick);
    void takeBackSoundsFrom(int tick);
    void settleSounds();
    void forgetSoundsBefore(int tick);
    void stopFilingSounds();

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
    // Adds what the decoder has sent to the staged music; true once it holds a whole
    // buffer, or the last frames of a track the decoder ended.
    bool stageMusic();
    // Reports a track whose decoder failed and releases it, or releases a track that
    // ended once its last buffer has played; false when the music is gone.
    bool keepMusic();

    // Declared buffer first: the source that plays a buffer must go before it.
    struct Effect {
        AlBuffer buffer;
        AlSource source;
    };

    std::unique_ptr<AudioDevice> device;
    std::map<std::string, Effect> sounds;
    std::array<AlBuffer, 4> musicBuffers;
    AlSource musicSource;
    std::unique_ptr<MusicDecoder> musicDecoder;
    std::string musicFile;
    // Present while effects are filed by tick.
    std::unique_ptr<SoundLedger> ledger;
    int musicVolume = 10;
    int effectsVolume = 10;
    // What playMusic was last asked for, played again when the music volume leaves 0.
    std::string lastTrack;
    // Buffers neither queued nor filled yet.
    std::array<ALuint, 4> idleBuffers{};
    std::size_t idleCount = 0;
    // One buffer's worth of PCM being gathered: 16384 frames of 16-bit stereo, 64 KiB.
    std::array<int16_t, 2 * 16384> musicArea{};
    long stagedFrames = 0;
};
