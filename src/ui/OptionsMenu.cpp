#include "ui/OptionsMenu.h"

#include <algorithm>
#include <array>
#include <utility>

#include "audio/SoundManager.h"
#include "core/Difficulty.h"
#include "core/Game.h"
#include "core/MainLoop.h"
#include "core/Settings.h"

namespace {

constexpr int kMostVolume = 10;

// The window sizes of the F5-F8 keys; the desktop's comes after them.
constexpr std::array<std::pair<int, int>, 4> kWindowSizes{{{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}}};
// An absent or 0 window side is the start-up default.
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

std::string onOff(bool on) { return on ? "On" : "Off"; }

int wrapped(int value, int count) { return ((value % count) + count) % count; }

}  // namespace

// A line whose value Left and Right step through and Attack or Enter steps on, wrapping.
class OptionsMenu::SettingItem : public TextItem {
public:
    explicit SettingItem(const OptionsMenu& menu) : owner(menu) {}

    void activate() override { change(1, true); }
    void adjust(int step) override { change(step, false); }

protected:
    // Moves the setting by `step`; `wrap` lets it go round from the last value to the first.
    virtual void step(int by, bool wrap) = 0;
    // Whether the setting concerns only this machine (sound, window), not the game.
    virtual bool machineOnly() const { return true; }

private:
    void change(int by, bool wrap) {
        if (owner.pressIsLocal() && !(machineOnly() && Game::instance().isWatchingReplay())) {
            step(by, wrap);
        }
    }

    const OptionsMenu& owner;
};

class OptionsMenu::MusicVolumeItem : public SettingItem {
public:
    using SettingItem::SettingItem;
    std::string label() const override { return "Music volume"; }
    std::string value() const override { return std::to_string(shown()); }

private:
    // "music 0" is silence whatever the volume says.
    static int shown() {
        return Settings::instance().getInt("music") == 0 ? 0 : SoundManager::instance().getMusicVolume();
    }
    void step(int by, bool wrap) override {
        const int now = shown();
        const int next = wrap ? wrapped(now + by, kMostVolume + 1) : std::clamp(now + by, 0, kMostVolume);
        if (next == now) return;
        std::vector<PlayerConfig::Change> changes{{"musicVolume", next, ""}};
        if (next > 0 && Settings::instance().getInt("music") == 0) {
            changes.push_back({"music", 1, ""});
        }
        Game::instance().changeSettings(changes);
        SoundManager::instance().setMusicVolume(next);
    }
};

class OptionsMenu::EffectsVolumeItem : public SettingItem {
public:
    using SettingItem::SettingItem;
    std::string label() const override { return "Effects volume"; }
    std::string value() const override { return std::to_string(SoundManager::instance().getEffectsVolume()); }

private:
    void step(int by, bool wrap) override {
        const int now = SoundManager::instance().getEffectsVolume();
        const int next = wrap ? wrapped(now + by, kMostVolume + 1) : std::clamp(now + by, 0, kMostVolume);
        if (next == now) return;
        SoundManager::instance().setEffectsVolume(next);
        Game::instance().changeSettings({{"effectsVolume", next, ""}});
        // The new loudness, heard at once.
        SoundManager::instance().playSound("punch");
    }
};

class OptionsMenu::FullScreenItem : public SettingItem {
public:
    using SettingItem::SettingItem;
    std::string label() const override { return "Full screen"; }
    std::string value() const override { return onOff(isOn()); }

private:
    static bool isOn() { return Settings::instance().getInt("fullscreen") != 0; }
    void step(int, bool) override {
        const bool on = !isOn();
        Game::instance().changeSettings({{"fullscreen", on ? 1 : 0, ""}});
        MainLoop::setFullScreen(on);
    }
};

class OptionsMenu::WindowSizeItem : public SettingItem {
public:
    using SettingItem::SettingItem;
    std::string label() const override { return "Window size"; }
    std::string value() const override {
        const std::pair<int, int> size = current();
        const std::string text = std::to_string(size.first) + " x " + std::to_string(size.second);
        const std::vector<std::pair<int, int>> list = sizes();
        const bool desktop = list.size() > kWindowSizes.size() && size == list.back() &&
                             std::find(kWindowSizes.begin(), kWindowSizes.end(), size) == kWindowSizes.end();
        return desktop ? "Desktop " + text : text;
    }

private:
    static std::pair<int, int> current() {
        Settings& settings = Settings::instance();
        const int width = settings.getInt("width");
        const int height = settings.getInt("height");
        return {width == 0 ? kDefaultWidth : width, height == 0 ? kDefaultHeight : height};
    }
    static std::vector<std::pair<int, int>> sizes() {
        std::vector<std::pair<int, int>> list(kWindowSizes.begin(), kWindowSizes.end());
        std::pair<int, int> desktop;
        MainLoop::desktopSize(desktop.first, desktop.second);
        if (desktop.first > 0 && desktop.second > 0) list.push_back(desktop);
        return list;
    }
    void step(int by, bool wrap) override {
        const std::vector<std::pair<int, int>> list = sizes();
        const int count = static_cast<int>(list.size());
        const auto found = std::find(list.begin(), list.end(), current());
        // A size of the player's own choosing steps to the list's first or last.
        const int at = found != list.end() ? static_cast<int>(found - list.begin()) : by > 0 ? -1 : count;
        const int next = wrap ? wrapped(at + by, count) : std::clamp(at + by, 0, count - 1);
        if (next == at) return;
        Game::instance().changeSettings({{"width", list[next].first, ""}, {"height", list[next].second, ""}});
        MainLoop::setWindowSize(list[next].first, list[next].second);
    }
};

class OptionsMenu::DifficultyItem : public SettingItem {
public:
    using SettingItem::SettingItem;
    std::string label() const override { return "Difficulty"; }
    std::string value() const override { return Difficulty::name(Difficulty::inForce()); }

private:
    bool machineOnly() const override { return false; }
    void step(int by, bool wrap) override {
        const int now = Difficulty::inForce();
        const int next = wrap ? wrapped(now - Difficulty::Easy + by, 3) + Difficulty::Easy
                              : std::clamp(now + by, static_cast<int>(Difficulty::Easy), static_cast<int>(Difficulty::Hard));
        if (next != now) Game::instance().changeSettings({{"difficulty", next, ""}});
    }
};

class OptionsMenu::ControlsItem : public TextItem {
public:
    std::string label() const override { return "Controls"; }
    void activate() override { Game::instance().showControlsPage(); }
};

class OptionsMenu::BackItem : public TextItem {
public:
    std::string label() const override { return "Back"; }
    void activate() override { Game::instance().closeSubmenu(); }
};

OptionsMenu::OptionsMenu(bool onlineGame) : online(onlineGame) {}

void OptionsMenu::buildItems() {
    items.push_back(std::make_unique<MusicVolumeItem>(*this));
    items.push_back(std::make_unique<EffectsVolumeItem>(*this));
    items.push_back(std::make_unique<FullScreenItem>(*this));
    items.push_back(std::make_unique<WindowSizeItem>(*this));
    // What decides how the game goes, and the controls, are the online session's.
    if (!online) {
        items.push_back(std::make_unique<DifficultyItem>(*this));
        items.push_back(std::make_unique<ControlsItem>());
    }
    items.push_back(std::make_unique<BackItem>());
}

void OptionsMenu::cancel() { Game::instance().closeSubmenu(); }

bool OptionsMenu::pressIsLocal() const {
    return !online || actingPlayer() == Game::instance().onlineLocalPlayer();
}

std::string OptionsMenu::title() const { return "Options"; }

std::string OptionsMenu::hint() const {
    return online ? "Left and Right change this machine's own settings; Escape goes back"
                  : "Up and Down choose, Left and Right change, Escape goes back";
}
