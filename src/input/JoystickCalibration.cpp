#include "input/JoystickCalibration.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "core/ConsoleProblems.h"
#include "core/TextFile.h"

namespace {

std::string trimmed(const std::string& text) {
    const auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
    const auto first = std::find_if_not(text.begin(), text.end(), isSpace);
    const auto last = std::find_if_not(text.rbegin(), std::string::const_reverse_iterator(first), isSpace);
    return std::string(first, last.base());
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The leading integer of the text, clamped to the int range; false when there is none.
bool readInt(const std::string& text, int& value) {
    const char* begin = text.c_str();
    char* end = nullptr;
    const long parsed = std::strtol(begin, &end, 10);
    if (end == begin) {
        return false;
    }
    value = static_cast<int>(std::clamp<long>(parsed, INT_MIN, INT_MAX));
    return true;
}

bool readDouble(const std::string& text, double& value) {
    const char* begin = text.c_str();
    char* end = nullptr;
    const double parsed = std::strtod(begin, &end);
    if (end == begin || !std::isfinite(parsed)) {
        return false;
    }
    value = parsed;
    return true;
}

void setAxisParameter(AxisCalibration& axis, const std::string& key, const std::string& value) {
    struct IntParameter {
        const char* name;
        int AxisCalibration::*field;
    };
    static const IntParameter kIntParameters[] = {
        {"minimum", &AxisCalibration::minimum},
        {"center", &AxisCalibration::center},
        {"maximum", &AxisCalibration::maximum},
        {"nullzone", &AxisCalibration::nullZone},
        {"tolerance", &AxisCalibration::tolerance},
        {"correctionlevel", &AxisCalibration::correctionLevel},
        {"deadzoneminimum", &AxisCalibration::deadZoneMinimum},
        {"deadzonemaximum", &AxisCalibration::deadZoneMaximum},
    };
    for (const IntParameter& parameter : kIntParameters) {
        if (key == parameter.name) {
            readInt(value, axis.*parameter.field);
            return;
        }
    }
    if (key == "correctionalcoefficientminimum") {
        readDouble(value, axis.correctionalCoefficientMinimum);
    } else if (key == "correctionalcoefficientmaximum") {
        readDouble(value, axis.correctionalCoefficientMaximum);
    } else if (key == "flipped") {
        axis.flipped = true;
    } else if (key == "ishat") {
        axis.isHat = true;
    }
}

}  // namespace

bool JoystickCalibration::load(const std::string& path) {
    ConsoleProblems console;
    TextFile file(path, console);
    if (!file.isOpen()) {
        return false;
    }
    Reading reading;
    std::string line;
    while (file.readLine(line)) {
        readLine(line, reading);
    }
    return true;
}

void JoystickCalibration::readLine(const std::string& rawLine, Reading& reading) {
    const std::string line = trimmed(rawLine);
    if (line.empty() || line[0] == '#') {
        return;
    }
    const std::string::size_type equals = line.find('=');
    const std::string key = lowered(trimmed(line.substr(0, equals)));
    const std::string value = equals == std::string::npos ? std::string() : trimmed(line.substr(equals + 1));

    if (key == "beginjoystick") {
        reading = Reading{value.empty() ? nullptr : &(devices[value] = Device{})};
    } else if (key == "endjoystick") {
        reading = Reading{};
    } else if (key == "beginaxis") {
        int number = -1;
        reading.inAxis = true;
        reading.axis = reading.device != nullptr && readInt(value, number) && number >= 0
                           ? &(reading.device->axes[number] = AxisCalibration{})
                           : nullptr;
    } else if (key == "endaxis") {
        reading.axis = nullptr;
        reading.inAxis = false;
    } else if (reading.axis != nullptr) {
        setAxisParameter(*reading.axis, key, value);
    } else if (reading.device != nullptr && !reading.inAxis) {
        if (key == "name") {
            reading.device->name = value;
        } else if (key == "lastcalibrated") {
            readDouble(value, reading.device->lastCalibrated);
        }
    }
}

const JoystickCalibration::Device* JoystickCalibration::find(const std::string& devicePath) const {
    const auto found = devices.find(devicePath);
    return found == devices.end() ? nullptr : &found->second;
}

AxisCalibration JoystickCalibration::axis(const std::string& devicePath, int axis) const {
    if (const Device* device = find(devicePath)) {
        const auto found = device->axes.find(axis);
        if (found != device->axes.end()) {
            return found->second;
        }
    }
    return AxisCalibration{};
}
