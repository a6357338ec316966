#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "core/Settings.h"

// A value built from settings, built again on first use after the store changed: an
// online game puts the host's settings in place after the game first read its own, and
// both sides must then play by the same tuning. A reference from get() stays valid (the
// value is assigned in place) but may change after the next settings change.
template <typename Value>
class SettingsCache {
public:
    explicit SettingsCache(std::function<Value()> build) : build(std::move(build)) {}

    const Value& get() {
        const unsigned long now = Settings::instance().revision();
        if (!value || builtAt != now) {
            value = build();
            builtAt = now;
        }
        return *value;
    }

private:
    std::function<Value()> build;
    std::optional<Value> value;
    unsigned long builtAt = 0;
};
