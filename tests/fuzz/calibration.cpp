#include <cstdlib>

#include "FuzzSupport.h"
#include "input/JoystickCalibration.h"

// Every axis of the device the seeds describe must map every reading into -1..1.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeFile("joystick.cal", data, size);
    JoystickCalibration calibration;
    calibration.load("joystick.cal");
    for (int axis = 0; axis < 8; ++axis) {
        const AxisCalibration mapping = calibration.axis("/dev/input/js0", axis);
        for (const int raw : {-32768, -20000, -1, 0, 1, 20000, 32767}) {
            const double value = mapping.coefficient(raw);
            if (!(value >= -1.0 && value <= 1.0)) {
                std::abort();
            }
        }
    }
    return 0;
}
