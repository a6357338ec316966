#include "AudioFiles.h"

#include "audio/SoundManager.h"
#include "core/Settings.h"
#include "support/TempDataDir.h"

#include <AL/alut.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

void pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

ALint bufferFrequency(ALuint source) {
    ALint buffer = 0;
    ALint frequency = 0;
    alGetSourcei(source, AL_BUFFER, &buffer);
    alGetBufferi(static_cast<ALuint>(buffer), AL_FREQUENCY, &frequency);
    return frequency;
}

std::string loadFailure(const std::string& file, ALenum code) {
    return "Failed to load " + file + ": " + std::to_string(code) + "(" + alutGetErrorString(code) + ")\n";
}

class SoundEffects : public testing::Test {
protected:
    void SetUp() override {
        alutInitWithoutContext(nullptr, nullptr);
        dir.write("sounds/low.wav", wavFile(11025, 1, sineTone(11025, 1, 11025, 440, 0.5)));
        dir.write("sounds/high.wav", wavFile(22050, 1, sineTone(22050, 1, 22050, 880, 0.5)));
    }

    TempDataDir dir;
};

TEST_F(SoundEffects, PlayedEffectReachesTheOutputAndUnknownNamesStaySilent) {
    const std::string output = recordToWaveFile(dir);
    dir.write("sounds.dat", "boom 1 high.wav\n");
    SoundManager& sounds = SoundManager::instance();
    sounds.loadSoundList("sounds.dat");
    sounds.playSound("nothing");
    pause(300);
    sounds.playSound("boom", 3, 0.2f);
    pause(500);
    sounds.shutdown();

    const Recording recording = readRecording(output);
    ASSERT_GT(recording.seconds(), 0.6);
    const double start = recording.firstSoundAbove(0.05);
    EXPECT_GT(start, 0.2);
    EXPECT_GT(recording.peak(start, start + 0.3), 0.2);
}

TEST_F(SoundEffects, ReplayingANameRestartsItsSound) {
    SoundManager& sounds = SoundManager::instance();
    sounds.loadSound("woosh", "high.wav");
    const ALuint source = sounds.soundSource("woosh");
    ASSERT_NE(source, 0u);

    sounds.playSound("woosh");
    pause(400);
    ALfloat before = 0.0f;
    alGetSourcef(source, AL_SEC_OFFSET, &before);
    sounds.playSound("woosh");
    ALfloat after = 1.0f;
    alGetSourcef(source, AL_SEC_OFFSET, &after);
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);

    EXPECT_GT(before, 0.2f);
    EXPECT_LT(after, 0.1f);
    EXPECT_EQ(state, AL_PLAYING);
}

TEST_F(SoundEffects, SoundListKeepsTheLastLoadableFileOfEachName) {
    dir.write("sounds.dat", "hit 2 low.wav high.wav\n  miss 1 missing.wav\nkick 2 high.wav missing.wav\n"
                            "jump many land 1 high.wav\n");
    SoundManager& sounds = SoundManager::instance();
    testing::internal::CaptureStdout();
    sounds.loadSoundList("sounds.dat");
    const std::string printed = testing::internal::GetCapturedStdout();

    EXPECT_EQ(printed, loadFailure("missing.wav", ALUT_ERROR_IO_ERROR) + loadFailure("missing.wav", ALUT_ERROR_IO_ERROR));
    EXPECT_EQ(bufferFrequency(sounds.soundSource("hit")), 22050);
    EXPECT_EQ(sounds.soundSource("miss"), 0u);
    EXPECT_EQ(bufferFrequency(sounds.soundSource("kick")), 22050);
    EXPECT_EQ(sounds.soundSource("jump"), 0u);
    EXPECT_EQ(sounds.soundSource("land"), 0u);

    const ALuint replaced = sounds.soundSource("hit");
    sounds.loadSound("hit", "low.wav");
    EXPECT_EQ(bufferFrequency(sounds.soundSource("hit")), 11025);
    EXPECT_EQ(alIsSource(replaced), AL_FALSE);
}

TEST_F(SoundEffects, LoadingWithoutAlutFailsWithItsMessage) {
    alutExit();
    SoundManager& sounds = SoundManager::instance();
    testing::internal::CaptureStdout();
    sounds.loadSound("hit", "low.wav");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), loadFailure("low.wav", ALUT_ERROR_INVALID_OPERATION));
    EXPECT_EQ(sounds.soundSource("hit"), 0u);
}

TEST_F(SoundEffects, WithoutADeviceEveryCallIsHarmless) {
    setenv("ALSOFT_DRIVERS", "bogus", 1);
    writeOggTone(dir.path() + "/music/song.ogg", 22050, 2, 22050, 440);
    dir.write("sounds.dat", "hit 1 low.wav\n");
    Settings::instance().setInt("music", 1);

    testing::internal::CaptureStdout();
    SoundManager& sounds = SoundManager::instance();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Couldn't open audio device.\n");

    testing::internal::CaptureStdout();
    sounds.loadSoundList("sounds.dat");
    sounds.playSound("hit");
    sounds.playMusic("song.ogg");
    sounds.updateMusic();
    sounds.stopMusic();
    sounds.playMusic("missing.ogg");
    sounds.shutdown();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(sounds.hasAudio());
    EXPECT_FALSE(sounds.isMusicPlaying());
    EXPECT_EQ(sounds.soundSource("hit"), 0u);
}

}  // namespace
