#include "core/InputSeam.h"

#include <random>

#include "core/Game.h"
#include "core/Random.h"

InputSeam& InputSeam::instance() {
    static InputSeam seam;
    return seam;
}

void InputSeam::key(int key, bool down) {
    if (replacement != nullptr) {
        replacement->liveKey(key, down);
        return;
    }
    deliver(InputEvent::key(key, down));
}

void InputSeam::joystickButton(int joystick, int button, bool down) {
    if (replacement != nullptr) {
        replacement->liveJoystickButton(joystick, button, down);
        return;
    }
    deliver(InputEvent::button(joystick, button, down));
}

void InputSeam::joystickAxis(int joystick, int axis, double value) {
    if (replacement != nullptr) {
        replacement->liveJoystickAxis(joystick, axis, value);
        return;
    }
    deliver(InputEvent::axis(joystick, axis, value));
}

int InputSeam::coinPolled(int held, int answered) {
    const int poll = pollsThisTick++;
    const int credits = replacement != nullptr ? replacement->credits(poll, held) : answered;
    // An unchanged count is the common case and is left out of the record.
    if (credits != held && listener != nullptr && playing) {
        listener->inputDelivered(InputEvent::credits(poll, credits));
    }
    return credits;
}

void InputSeam::deliver(const InputEvent& event) {
    if (listener != nullptr && playing) {
        listener->inputDelivered(event);
    }
    Game& game = Game::instance();
    switch (event.kind) {
        case InputEvent::Kind::Key: game.keyboard(event.code, 0, event.down, 0); break;
        case InputEvent::Kind::Button: game.joystickButton(event.device, event.code, event.down); break;
        case InputEvent::Kind::Axis: game.joystickAxis(event.device, event.code, event.value); break;
        case InputEvent::Kind::Credits: break;
    }
}

void InputSeam::playStarting(const std::string& levelFile, bool player1, bool player2) {
    // A restart from the pause or death menu goes on within the same game.
    if (playing || (listener == nullptr && replacement == nullptr)) {
        return;
    }
    playing = true;
    pollsThisTick = 0;
    // Only a recorded or replayed game seeds the C generator: its whole sequence then
    // follows from the seed in the record.
    const unsigned seed = replacement != nullptr ? replacement->seed() : std::random_device{}() % 32768;
    seedRandom(seed);
    const PlayStart start{levelFile, player1, player2, seed};
    if (replacement != nullptr) {
        replacement->playStarted(start);
    }
    if (listener != nullptr) {
        listener->playStarted(start);
    }
}

void InputSeam::playEnding() {
    if (!playing) {
        return;
    }
    playing = false;
    if (listener != nullptr) {
        listener->playEnded();
    }
    if (replacement != nullptr) {
        replacement->playEnded();
    }
}

bool InputSeam::tickReady() { return replacement == nullptr || replacement->tickReady(); }

int InputSeam::ticksThisFrame() { return replacement != nullptr ? replacement->ticksThisFrame() : 1; }

void InputSeam::drawOverlay() const {
    if (replacement != nullptr) {
        replacement->drawOverlay();
    }
}

void InputSeam::tickStarting() {
    if (replacement != nullptr && playing) {
        replacement->tickStarting();
    }
}

void InputSeam::tickEnded() {
    pollsThisTick = 0;
    if (!playing) {
        return;
    }
    if (listener != nullptr) {
        listener->tickEnded();
    }
    if (replacement != nullptr) {
        replacement->tickEnded();
    }
}
