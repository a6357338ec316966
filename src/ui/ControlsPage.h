#pragma once

#include <functional>

#include "core/ControlBindings.h"
#include "ui/TextMenu.h"

// Both players' eight controls with their key and pad button, in the game's font: from
// the options, by F1 from any menu, and once before the first game of a new
// installation. Choosing a control waits for a key or a pad button and binds it (a key
// or button another control had goes to this one's old binding); Escape stops waiting;
// "Defaults" brings back the bindings the game ships with. Each change is in force at
// once and saved in the player's own settings file.
class ControlsPage : public Menu {
public:
    class ControlItem;
    class DefaultsItem;
    class BackItem;

    static constexpr const char* Background = TextMenu::Background;

    // `then` runs when the player leaves the page; without it the menu underneath returns.
    explicit ControlsPage(std::function<void()> then = {});

    std::unique_ptr<Object> clone() const override;
    void buildItems() override;
    // Escape, when not waiting: leave the page.
    void cancel() override;
    void draw() override;
    bool takeKey(int key, bool down) override;
    bool takePadButton(int joystick, int button, bool down) override;

    // The control (0-15) waiting for its key or button; -1 when none is.
    int waitingControl() const { return waiting; }
    const ControlBindings& getBindings() const { return bindings; }

private:
    void bind(const std::vector<PlayerConfig::Change>& changes);
    void leave();

    ControlBindings bindings;
    int waiting = -1;
    std::function<void()> then;
};
