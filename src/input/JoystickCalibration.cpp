#include "input/JoystickCalibration.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// Real calibration files are a few kilobytes; anything past this is not one, and
// reading it whole would only cost memory.
constexpr std::size_t kMaxFileBytes = 1 << 20;

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
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    std::string text(kMaxFileBytes, '\0');
    file.read(&text[0], static_cast<std::streamsize>(text.size()));
    if (file.bad()) {  // a directory opens but cannot be read
        return false;
    }
    text.resize(static_cast<std::size_t>(file.gcount()));
    parse(text);
    return true;
}

void JoystickCalibration::parse(const std::string& text) {
    Device* device = nullptr;
    AxisCalibration* axis = nullptr;
    // Inside an axis block, even one that was thrown away, device parameters do not apply.
    bool inAxis = false;

    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::string::size_type equals = line.find('=');
        const std::string key = lowered(trimmed(line.substr(0, equals)));
        const std::string value = equals == std::string::npos ? std::string() : trimmed(line.substr(equals + 1));

        if (key == "beginjoystick") {
            device = value.empty() ? nullptr : &(devices[value] = Device{});
            axis = nullptr;
            inAxis = false;
        } else if (key == "endjoystick") {
            device = nullptr;
            axis = nullptr;
            inAxis = false;
        } else if (key == "beginaxis") {
            int number = -1;
            inAxis = true;
            axis = device != nullptr && readInt(value, number) && number >= 0
                       ? &(device->axes[number] = AxisCalibration{})
                       : nullptr;
        } else if (key == "endaxis") {
            axis = nullptr;
            inAxis = false;
        } else if (axis != nullptr) {
            setAxisParameter(*axis, key, value);
        } else if (device != nullptr && !inAxis) {
            if (key == "name") {
                device->name = value;
            } else if (key == "lastcalibrated") {
                readDouble(value, device->lastCalibrated);
            }
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
