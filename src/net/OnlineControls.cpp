#include "net/OnlineControls.h"

#include <algorithm>
#include <cmath>

#include "core/ControlNames.h"
#include "core/Settings.h"
#include "input/PadLayout.h"
#include "net/NetMessage.h"

namespace {

int controlKey(int slot, int control) { return NetMessage::ControlKeyBase + slot * 8 + control; }
int slotJoystick(int slot) { return NetMessage::SlotJoystickBase + slot; }

// Escape, Enter, Return and space: they pause, work the pause and death menus both
// players share, and skip a cutscene.
bool menuKey(int code) { return code == 27 || code == 10 || code == 13 || code == 32; }

}  // namespace

OnlineControls::OnlineControls(int playerSlot) : slot(playerSlot) {
    Settings& settings = Settings::instance();
    for (int c = 0; c < 8; ++c) {
        keys[c] = settings.getInt(std::string("player1") + ControlNames::keys[c]);
        buttons[c] = settings.getInt(std::string("joystickPlayer1") + ControlNames::buttons[c]);
        padButtons[c] = PadLayout::boundButton(settings, 0, c);
    }
    joystick = settings.getInt("joystickPlayer1");
    xAxis = settings.getInt("joystickPlayer1xAxis");
    yAxis = settings.getInt("joystickPlayer1yAxis");
    xFlip = settings.getInt("joystickPlayer1xAxisFlip") != 0 ? -1.0 : 1.0;
    yFlip = settings.getInt("joystickPlayer1yAxisFlip") != 0 ? -1.0 : 1.0;
}

std::vector<std::string> OnlineControls::bindingLines() {
    std::vector<std::string> lines;
    for (int slot = 0; slot < 2; ++slot) {
        const std::string player = "player" + std::to_string(slot + 1);
        const std::string stick = "joystickPlayer" + std::to_string(slot + 1);
        for (int c = 0; c < 8; ++c) {
            lines.push_back("int " + player + ControlNames::keys[c] + " " + std::to_string(controlKey(slot, c)));
            // Buttons arrive as the control keys; no button number may match.
            lines.push_back("int " + stick + ControlNames::buttons[c] + " -1");
        }
        lines.push_back("int " + stick + " " + std::to_string(slotJoystick(slot)));
        lines.push_back("int " + stick + "xAxis 0");
        lines.push_back("int " + stick + "yAxis 1");
        lines.push_back("int " + stick + "xAxisFlip 0");
        lines.push_back("int " + stick + "yAxisFlip 0");
    }
    return lines;
}

bool OnlineControls::belongsTo(const InputEvent& event, int slot) {
    if (event.kind == InputEvent::Kind::Axis) return event.device == slotJoystick(slot);
    if (event.kind != InputEvent::Kind::Key) return false;
    return menuKey(event.code) || (event.code >= controlKey(slot, 0) && event.code <= controlKey(slot, 7));
}

std::optional<InputEvent> OnlineControls::key(int key, bool down) const {
    for (int c = 0; c < 8; ++c) {
        if (keys[c] != 0 && keys[c] == key) return InputEvent::key(controlKey(slot, c), down);
    }
    if (!menuKey(key)) return std::nullopt;
    return InputEvent::key(key, down);
}

std::optional<InputEvent> OnlineControls::button(int fromJoystick, int button, bool down) const {
    if (fromJoystick == PadLayout::FirstJoystick) {
        // Back is Escape on a pad, wherever it is pressed.
        if (button == SDL_CONTROLLER_BUTTON_BACK) return InputEvent::key(27, down);
        for (int c = 0; c < 8; ++c) {
            if (padButtons[c] == button) return InputEvent::key(controlKey(slot, c), down);
        }
        return std::nullopt;
    }
    if (fromJoystick != joystick) return std::nullopt;
    for (int c = 0; c < 8; ++c) {
        if (buttons[c] == button) return InputEvent::key(controlKey(slot, c), down);
    }
    return std::nullopt;
}

std::optional<InputEvent> OnlineControls::axis(int fromJoystick, int axis, double value) const {
    // The peer refuses anything off the stick's range, so nothing off it may leave here.
    const double position = std::isfinite(value) ? std::clamp(value, -1.0, 1.0) : 0.0;
    if (fromJoystick == PadLayout::FirstJoystick) {
        if (axis == SDL_CONTROLLER_AXIS_LEFTX) return InputEvent::axis(slotJoystick(slot), 0, position);
        if (axis == SDL_CONTROLLER_AXIS_LEFTY) return InputEvent::axis(slotJoystick(slot), 1, position);
        return std::nullopt;
    }
    if (fromJoystick != joystick) return std::nullopt;
    if (axis == xAxis) return InputEvent::axis(slotJoystick(slot), 0, position * xFlip);
    if (axis == yAxis) return InputEvent::axis(slotJoystick(slot), 1, position * yFlip);
    return std::nullopt;
}
