#pragma once

// SDL's joystick and game controller subsystems, up for the lifetime of this object and
// nothing else of SDL: the window, the keyboard and the sound stay GLUT's and OpenAL's.
// SDL installs no signal handlers and reads pads without a window of its own in focus.
class SdlControllerSystem {
public:
    // When SDL cannot start, says so once on standard output; the game goes on without pads.
    SdlControllerSystem();
    ~SdlControllerSystem();
    SdlControllerSystem(const SdlControllerSystem&) = delete;
    SdlControllerSystem& operator=(const SdlControllerSystem&) = delete;

    bool isReady() const { return ready; }

private:
    bool ready = false;
};
