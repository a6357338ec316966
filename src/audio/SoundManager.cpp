#include "audio/SoundManager.h"

#include "audio/AudioDevice.h"
#include "audio/MusicDecoder.h"
#include "audio/SoundFile.h"
#include "audio/SoundList.h"
#include "core/ConsoleProblems.h"
#include "core/Settings.h"

#include <AL/alut.h>
#include <sys/stat.h>
#include <unistd.h>

#include <iostream>

namespace {

// Read at every playMusic, so switching music off takes effect with the next track.
bool musicEnabled() {
    return Settings::instance().getInt("music") != 0;
}

constexpr int kMostVolume = 10;

int clampedVolume(int volume) { return volume < 0 ? 0 : volume > kMostVolume ? kMostVolume : volume; }

int volumeSetting(const char* key) { return clampedVolume(Settings::instance().getIntOr(key, kMostVolume)); }

float gainOf(int volume) {
    const float share = static_cast<float>(volume) / kMostVolume;
    return share * share;
}

}  // namespace

SoundManager& SoundManager::instance() {
    static SoundManager manager;
    return manager;
}

SoundManager::SoundManager()
    : device(std::make_unique<AudioDevice>()),
      musicVolume(volumeSetting("musicVolume")),
      effectsVolume(volumeSetting("effectsVolume")) {
    if (!device->isOpen()) {
        device.reset();
    }
}

void SoundManager::setMusicVolume(int volume) {
    musicVolume = clampedVolume(volume);
    if (musicVolume == 0) {
        stopMusic();
    } else if (musicSource) {
        alSourcef(musicSource.id(), AL_GAIN, gainOf(musicVolume));
    } else if (!lastTrack.empty()) {
        playMusic(lastTrack);
    }
}

void SoundManager::setEffectsVolume(int volume) {
    effectsVolume = clampedVolume(volume);
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
    if (source != 0 && (!ledger || ledger->shouldStart(name))) {
        alSourcePlay(source);
    }
}

void SoundManager::fileSoundsUnder(int tick) {
    if (!ledger) {
        ledger = std::make_unique<SoundLedger>();
    }
    ledger->beginTick(tick);
}

void SoundManager::takeBackSoundsFrom(int tick) {
    if (ledger) {
        ledger->takeBack(tick);
    }
}

void SoundManager::settleSounds() {
    if (!ledger) {
        return;
    }
    for (const std::string& name : ledger->settle()) {
        const ALuint source = soundSource(name);
        if (source != 0) {
            alSourceStop(source);
        }
    }
}

void SoundManager::forgetSoundsBefore(int tick) {
    if (ledger) {
        ledger->forgetBefore(tick);
    }
}

void SoundManager::stopFilingSounds() { ledger.reset(); }

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
    // Only what the decoder could open is worth a process; this also keeps the answer
    // for a missing file on this tick, as a player who mistyped a name expects.
    const std::string path = "music/" + fileName;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || access(path.c_str(), R_OK) != 0) {
        std::cout << "Couldn't open " << fileName << ".\n";
        return;
    }
    musicSource = AlSource::generate();
    if (!musicSource) {
        return;
    }
    alSourcei(musicSource.id(), AL_LOOPING, AL_FALSE);
    alSourcef(musicSource.id(), AL_GAIN, gainOf(musicVolume));
    for (AlBuffer& buffer : musicBuffers) {
        buffer = AlBuffer::generate();
        if (buffer) {
            idleBuffers[idleCount++] = buffer.id();
        }
    }
    musicFile = fileName;
    musicDecoder = std::make_unique<MusicDecoder>(path);
    updateMusic();
}

bool SoundManager::stageMusic() {
    const long capacity = static_cast<long>(musicArea.size() / 2);
    while (stagedFrames < capacity) {
        const long result = musicDecoder->read(musicArea.data() + 2 * stagedFrames, capacity - stagedFrames);
        if (result > 0) {
            stagedFrames += result;
        } else if (result < 0) {
            std::cout << "Error streaming music: " << result << ".\n";
        } else {
            return stagedFrames > 0 && musicDecoder->state() == MusicDecoder::State::Ended;
        }
    }
    return true;
}

bool SoundManager::keepMusic() {
    switch (musicDecoder->state()) {
    case MusicDecoder::State::Starting:
    case MusicDecoder::State::Playing:
        return true;
    case MusicDecoder::State::Ended: {
        ALint queued = 0;
        alGetSourcei(musicSource.id(), AL_BUFFERS_QUEUED, &queued);
        if (queued > 0 || stagedFrames > 0) {
            return true;
        }
        break;
    }
    case MusicDecoder::State::Missing:
        std::cout << "Couldn't open " << musicFile << ".\n";
        break;
    case MusicDecoder::State::TooManyChannels:
        std::cout << "Music must be mono or stereo: " << musicFile << ".\n";
        break;
    case MusicDecoder::State::NotVorbis:
    case MusicDecoder::State::Broken:
        std::cout << "File does not appear to be an Ogg bitstream: " << musicFile << ".\n";
        break;
    case MusicDecoder::State::NotStarted:
        std::cout << "Couldn't start the music decoder: " << musicDecoder->startFailure() << ".\n";
        break;
    }
    stopMusic();
    return false;
}

void SoundManager::updateMusic() {
    if (!musicSource) {
        return;
    }
    const ALuint source = musicSource.id();
    ALint processed = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    for (ALint i = 0; i < processed && idleCount < idleBuffers.size(); ++i) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source, 1, &buffer);
        if (buffer != 0) {
            idleBuffers[idleCount++] = buffer;
        }
    }
    while (idleCount > 0 && stageMusic()) {
        const ALuint buffer = idleBuffers[--idleCount];
        alBufferData(buffer, AL_FORMAT_STEREO16, musicArea.data(), static_cast<ALsizei>(stagedFrames * 4),
                     static_cast<ALsizei>(musicDecoder->rate()));
        alSourceQueueBuffers(source, 1, &buffer);
        stagedFrames = 0;
    }
    if (!keepMusic()) {
        return;
    }
    // After the queue ran dry the source stays stopped, and OpenAL counts every buffer
    // queued on a stopped source as processed: waiting for a tick with nothing
    // processed would refill forever and never play. Restart right after the refill.
    ALint state = AL_PLAYING;
    ALint queued = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
    if (state != AL_PLAYING && queued > 0) {
        alSourcePlay(source);
    }
}

void SoundManager::stopMusic() {
    musicDecoder.reset();
    stagedFrames = 0;
    idleCount = 0;
    if (!musicSource) {
        return;
    }
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
