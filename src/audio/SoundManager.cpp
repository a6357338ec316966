#include "audio/SoundManager.h"

#include "audio/AudioDevice.h"
#include "audio/MusicStream.h"
#include "audio/SoundFile.h"
#include "audio/SoundList.h"
#include "core/ConsoleProblems.h"
#include "core/Settings.h"

#include <AL/alut.h>

#include <iostream>

namespace {

// Read at every playMusic, so switching music off takes effect with the next track.
bool musicEnabled() {
    return Settings::instance().getInt("music") != 0;
}

constexpr int kMostVolume = 10;

int volumeSetting(const char* key) {
    const int volume = Settings::instance().getIntOr(key, kMostVolume);
    return volume < 0 ? 0 : volume > kMostVolume ? kMostVolume : volume;
}

float gainOf(int volume) {
    const float share = static_cast<float>(volume) / kMostVolume;
    return share * share;
}

// A stream failing this many reads in a row is given up for the current fill.
constexpr int MaxConsecutiveErrors = 16;

}  // namespace

SoundManager& SoundManager::instance() {
    static SoundManager manager;
    return manager;
}

SoundManager::SoundManager()
    : device(std::make_unique<AudioDevice>()),
      musicStream(std::make_unique<MusicStream>()),
      musicVolume(volumeSetting("musicVolume")),
      effectsVolume(volumeSetting("effectsVolume")) {
    if (!device->isOpen()) {
        device.reset();
    }
}

void SoundManager::setMusicVolume(int volume) {
    musicVolume = volume < 0 ? 0 : volume > kMostVolume ? kMostVolume : volume;
    if (musicVolume == 0) {
        stopMusic();
    } else if (musicSource) {
        alSourcef(musicSource.id(), AL_GAIN, gainOf(musicVolume));
    } else if (!lastTrack.empty()) {
        playMusic(lastTrack);
    }
}

void SoundManager::setEffectsVolume(int volume) {
    effectsVolume = volume < 0 ? 0 : volume > kMostVolume ? kMostVolume : volume;
    for (const auto& [name, effect] : sounds) {
        alSourcef(effect.source.id(), AL_GAIN, gainOf(effectsVolume));
    }
}

SoundManager::~SoundManager() {
    shutdown();
    alutExit();
}

void SoundManager::shutdown() {
    stopMusic();
    sounds.clear();
    device.reset();
}

void SoundManager::loadSoundList(const std::string& path) {
    ConsoleProblems console;
    for (const SoundList::Record& record : SoundList::read(path, console)) {
        for (const std::string& fileName : record.files) {
            loadSound(record.name, fileName);
        }
    }
}

void SoundManager::loadSound(const std::string& name, const std::string& fileName) {
    if (!device) {
        return;
    }
    const SoundFile::Loaded loaded = SoundFile::load("sounds/" + fileName);
    AlBuffer buffer = AlBuffer::adopt(loaded.buffer);
    if (!buffer) {
        const ALenum code = loaded.error;
        std::cout << "Failed to load " << fileName << ": " << code << "(" << alutGetErrorString(code) << ")\n";
        return;
    }
    AlSource source = AlSource::generate();
    if (!source) {
        return;
    }
    alSourcei(source.id(), AL_BUFFER, static_cast<ALint>(buffer.id()));
    alSourcei(source.id(), AL_LOOPING, AL_FALSE);
    alSourcef(source.id(), AL_GAIN, gainOf(effectsVolume));
    // The earlier file of this name is unreachable from now on; erasing it first
    // deletes its source before its buffer.
    sounds.erase(name);
    sounds.emplace(name, Effect{std::move(buffer), std::move(source)});
}

void SoundManager::playSound(const std::string& name, int, float) {
    const ALuint source = soundSource(name);
    if (source != 0) {
        alSourcePlay(source);
    }
}

ALuint SoundManager::soundSource(const std::string& name) const {
    if (!device) {
        return 0;
    }
    const auto found = sounds.find(name);
    return found != sounds.end() ? found->second.source.id() : 0;
}

void SoundManager::playMusic(const std::string& fileName) {
    stopMusic();
    lastTrack = fileName;
    if (!device || !musicEnabled() || musicVolume == 0) {
        return;
    }
    switch (musicStream->open("music/" + fileName)) {
    case MusicStream::OpenResult::Missing:
        std::cout << "Couldn't open " << fileName << ".\n";
        return;
    case MusicStream::OpenResult::NotVorbis:
        std::cout << "File does not appear to be an Ogg bitstream: " << fileName << ".\n";
        return;
    case MusicStream::OpenResult::TooManyChannels:
        std::cout << "Music must be mono or stereo: " << fileName << ".\n";
        return;
    case MusicStream::OpenResult::Opened:
        break;
    }

    musicSource = AlSource::generate();
    if (!musicSource) {
        musicStream->close();
        return;
    }
    alSourcei(musicSource.id(), AL_LOOPING, AL_FALSE);
    alSourcef(musicSource.id(), AL_GAIN, gainOf(musicVolume));
    std::array<ALuint, 4> filled{};
    ALsizei count = 0;
    for (AlBuffer& buffer : musicBuffers) {
        buffer = AlBuffer::generate();
        if (buffer && fillMusicBuffer(buffer.id())) {
            filled[count++] = buffer.id();
        }
    }
    // A track that decodes to nothing would leave a source with nothing to play.
    if (count == 0) {
        stopMusic();
        return;
    }
    alSourceQueueBuffers(musicSource.id(), count, filled.data());
    alSourcePlay(musicSource.id());
}

bool SoundManager::fillMusicBuffer(ALuint buffer) {
    if (!musicStream->isOpen()) {
        return false;
    }
    const long capacity = static_cast<long>(musicArea.size() / 2);
    long frames = 0;
    int errors = 0;
    // Starts true so a fill that begins exactly at the end of the file may rewind;
    // an end of stream reached again without a sample in between gives up the fill.
    bool decodedSinceEnd = true;
    while (frames < capacity) {
        const long result = musicStream->read(musicArea.data() + 2 * frames, capacity - frames);
        if (result > 0) {
            frames += result;
            errors = 0;
            decodedSinceEnd = true;
        } else if (result == 0) {
            if (!decodedSinceEnd || !musicStream->rewind()) {
                break;
            }
            decodedSinceEnd = false;
        } else {
            std::cout << "Error streaming music: " << result << ".\n";
            if (++errors >= MaxConsecutiveErrors) {
                break;
            }
        }
    }
    if (frames < 1) {
        return false;
    }
    alBufferData(buffer, AL_FORMAT_STEREO16, musicArea.data(), static_cast<ALsizei>(frames * 4),
                 static_cast<ALsizei>(musicStream->rate()));
    return true;
}

void SoundManager::updateMusic() {
    if (!musicSource) {
        return;
    }
    const ALuint source = musicSource.id();
    ALint processed = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    for (ALint i = 0; i < processed; ++i) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source, 1, &buffer);
        if (buffer != 0 && fillMusicBuffer(buffer)) {
            alSourceQueueBuffers(source, 1, &buffer);
        }
    }
    // After the queue ran dry the source stays stopped, and OpenAL counts every buffer
    // queued on a stopped source as processed: waiting for a tick with nothing
    // processed would refill forever and never play. Restart right after the refill.
    ALint state = AL_PLAYING;
    ALint queued = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
    if (state == AL_STOPPED && queued > 0) {
        alSourcePlay(source);
    }
}

void SoundManager::stopMusic() {
    if (!musicSource) {
        return;
    }
    musicStream->close();
    const ALuint source = musicSource.id();
    alSourceStop(source);
    ALint queued = 0;
    alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
    for (ALint i = 0; i < queued; ++i) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source, 1, &buffer);
    }
    musicSource.reset();
    for (AlBuffer& buffer : musicBuffers) {
        buffer.reset();
    }
}
