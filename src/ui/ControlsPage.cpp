#include "ui/ControlsPage.h"

#include <cmath>
#include <utility>

#include "core/Game.h"
#include "core/KeyNames.h"
#include "input/PadLayout.h"
#include "ui/PageText.h"

namespace {

constexpr int kPerPlayer = 8;
constexpr int kEscape = 27;
// Pads report to the Game as joystick 10 + their slot (the old joysticks are 0 and 1).
constexpr int kFirstPad = 10;

const char* const kControlLabels[] = {"Left", "Right", "Up", "Down", "Attack", "Pick up", "Drop", "Start"};

// Layout, in the page's coordinates: each player's key and pad columns, player 1's on
// the left, player 2's on the right, the control names between them.
constexpr float kTitleBottom = 0.74f;
constexpr float kTitleSize = 0.13f;
constexpr float kPlayerBottom = 0.6f;
constexpr float kPlayerSize = 0.07f;
constexpr float kColumnBottom = 0.51f;
constexpr float kColumnSize = 0.045f;
constexpr float kFirstRow = 0.39f;
constexpr float kRowStep = 0.1f;
constexpr float kRowSize = 0.058f;
constexpr float kCellWidth = 0.34f;
// Column centres: player 1's key and pad, then player 2's.
constexpr float kKeyCentres[] = {-0.74f, 0.37f};
constexpr float kPadCentres[] = {-0.37f, 0.74f};
constexpr float kDefaultsBottom = -0.43f;
constexpr float kBackBottom = -0.54f;
constexpr float kEntrySize = 0.07f;
constexpr float kPadsBottom = -0.66f;
constexpr float kHintBottom = -0.78f;
constexpr float kSmallSize = 0.045f;
constexpr float kSway = 0.012f;

std::string padName(int button) {
    if (button < 0) return "-";
    const std::string name = PadLayout::buttonName(button);
    return !name.empty() ? name : "Button " + std::to_string(button);
}

std::string controlName(int control) {
    return "Player " + std::to_string(control / kPerPlayer + 1) + " " + kControlLabels[control % kPerPlayer];
}

}  // namespace

class ControlsPage::ControlItem : public MenuItem {
public:
    ControlItem(ControlsPage& owner, int control) : MenuItem(""), page(owner), control(control) {}
    void activate() override { page.waiting = control; }
    // Left and Right go to the same control of the other player.
    void adjust(int step) override {
        const bool toPlayer2 = control < kPerPlayer;
        if ((step > 0) != toPlayer2) return;
        for (int i = 0; i < kPerPlayer; ++i) {
            if (toPlayer2) {
                page.selectNext();
            } else {
                page.selectPrevious();
            }
        }
    }

private:
    ControlsPage& page;
    int control;
};

class ControlsPage::DefaultsItem : public MenuItem {
public:
    explicit DefaultsItem(ControlsPage& owner) : MenuItem(""), page(owner) {}
    void activate() override {
        const ControlBindings shipped = ControlBindings::bundled(Game::instance().getBundledConfigFile(), page.bindings);
        page.bind(page.bindings.takeOver(shipped));
    }

private:
    ControlsPage& page;
};

class ControlsPage::BackItem : public MenuItem {
public:
    explicit BackItem(ControlsPage& owner) : MenuItem(""), page(owner) {}
    void activate() override { page.leave(); }

private:
    ControlsPage& page;
};

ControlsPage::ControlsPage(std::function<void()> afterwards)
    : bindings(ControlBindings::inForce()), then(std::move(afterwards)) {}

// The bindings are read from the settings afresh, as they are in force whatever the copy.
std::unique_ptr<Object> ControlsPage::clone() const {
    std::unique_ptr<ControlsPage> copy = copyOf(*this, then);
    copy->waiting = waiting;
    return copy;
}

void ControlsPage::buildItems() {
    for (int control = 0; control < ControlBindings::Count; ++control) {
        items.push_back(std::make_unique<ControlItem>(*this, control));
    }
    items.push_back(std::make_unique<DefaultsItem>(*this));
    items.push_back(std::make_unique<BackItem>(*this));
}

void ControlsPage::cancel() { leave(); }

void ControlsPage::leave() {
    if (then) {
        // Starting the game closes this page: nothing of it is touched afterwards.
        const std::function<void()> next = std::move(then);
        next();
        return;
    }
    Game::instance().closeSubmenu();
}

bool ControlsPage::takeKey(int key, bool down) {
    // A release goes its usual way, so no control stays held.
    if (waiting < 0 || !down) {
        return false;
    }
    const int control = waiting;
    waiting = -1;
    if (key != kEscape) {
        bind(bindings.bindKey(control, KeyNames::forBinding(key)));
    }
    return true;
}

bool ControlsPage::takePadButton(int joystick, int button, bool down) {
    if (waiting < 0 || !down || joystick < kFirstPad) {
        return false;
    }
    const int control = waiting;
    waiting = -1;
    bind(bindings.bindPadButton(control, button));
    return true;
}

void ControlsPage::bind(const std::vector<PlayerConfig::Change>& changes) {
    if (changes.empty()) {
        return;
    }
    Game& game = Game::instance();
    game.changeSettings(changes);
    game.reloadControls();
}

void ControlsPage::draw() {
    const Game& game = Game::instance();
    const PageText page(game.getWindowWidth(), game.getWindowHeight());
    using Align = PageText::Align;
    page.line("Controls", 0.0f, kTitleBottom, kTitleSize, Align::Centre);
    for (int player = 0; player < 2; ++player) {
        const float centre = (kKeyCentres[player] + kPadCentres[player]) / 2.0f;
        page.line("Player " + std::to_string(player + 1), centre, kPlayerBottom, kPlayerSize, Align::Centre);
        page.line("Key", kKeyCentres[player], kColumnBottom, kColumnSize, Align::Centre);
        page.line("Gamepad", kPadCentres[player], kColumnBottom, kColumnSize, Align::Centre);
    }

    const float sway = kSway * std::sin(static_cast<float>(elapsedMilliseconds() * 0.005));
    const int selected = static_cast<int>(selectedIndex());
    for (int row = 0; row < kPerPlayer; ++row) {
        const float bottom = kFirstRow - kRowStep * static_cast<float>(row);
        page.line(kControlLabels[row], 0.0f, bottom, kRowSize, Align::Centre, kCellWidth);
        for (int player = 0; player < 2; ++player) {
            const int control = player * kPerPlayer + row;
            const bool chosen = control == selected;
            const float shift = chosen && waiting < 0 ? sway : 0.0f;
            if (chosen) {
                page.band(kKeyCentres[player] - kCellWidth / 2.0f, kPadCentres[player] + kCellWidth / 2.0f, bottom,
                          kRowSize, 0.79f, 0.83f, 0.96f);
            }
            const bool asking = control == waiting;
            page.line(asking ? "?" : KeyNames::name(bindings.key(control)), kKeyCentres[player] + shift, bottom,
                      kRowSize, Align::Centre, kCellWidth);
            page.line(asking ? "?" : padName(bindings.padButton(control)), kPadCentres[player] + shift, bottom,
                      kRowSize, Align::Centre, kCellWidth);
        }
    }

    const float entryBottoms[] = {kDefaultsBottom, kBackBottom};
    // Shown before a first game, the page's way out is into the game.
    const char* const entryNames[] = {"Defaults", then ? "Play" : "Back"};
    for (int i = 0; i < 2; ++i) {
        const bool chosen = selected == ControlBindings::Count + i;
        if (chosen) {
            page.band(-0.3f, 0.3f, entryBottoms[i], kEntrySize, 0.79f, 0.83f, 0.96f);
        }
        page.line(entryNames[i], chosen ? sway : 0.0f, entryBottoms[i], kEntrySize, Align::Centre);
    }

    std::string pads;
    for (const std::string& name : game.getPadNames()) {
        pads += (pads.empty() ? "Gamepads: " : ", ") + name;
    }
    page.line(pads.empty() ? "No gamepad" : pads, 0.0f, kPadsBottom, kSmallSize, Align::Centre, 1.9f);
    const std::string hint = waiting >= 0
                                 ? "Press a key or a pad button for " + controlName(waiting) + "; Escape cancels"
                                 : then ? "Attack or Enter changes a control, Left and Right change player, Escape plays"
                                        : "Attack or Enter changes a control, Left and Right change player, Escape goes back";
    if (waiting >= 0) {
        page.band(-0.98f, 0.98f, kHintBottom, kSmallSize, 1.0f, 0.87f, 0.6f);
    }
    page.line(hint, 0.0f, kHintBottom, kSmallSize, Align::Centre, 1.9f);
}
