#include "input/InputDevices.h"

void InputDevices::open() { opened = true; }

void InputDevices::poll() {
    if (!opened) {
        open();
    }
}
