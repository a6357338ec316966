#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "world/Object.h"

// One entry of a menu: a picture, or a line of text in a text menu; activate runs its
// action. An activate may close the menu that owns it, so it touches neither the menu
// nor itself afterwards.
class MenuItem {
public:
    explicit MenuItem(std::string texture) : textureName(std::move(texture)) {}
    virtual ~MenuItem() = default;
    // The selected entry is chosen (Attack, Enter, space).
    virtual void activate() = 0;
    // Left (-1) or Right (+1) on the selected entry; most entries have nothing to change.
    virtual void adjust(int /*step*/) {}

    const std::string textureName;
};

// A column of picture entries over a full-window background; the selected one sways,
// glows and stands out bright among the dimmed others, so a still picture shows it too.
// Held by the Game (never in the world), updated every tick while no cutscene plays.
class Menu : public Object {
public:
    ~Menu() override;

    // Creates the entries; called once, right after construction.
    virtual void buildItems() = 0;
    // Escape pressed while the menu is open.
    virtual void cancel() = 0;

    void update(int milliseconds) override;
    void draw() override;
    // A state digest names the open menu by its kind: "main", "pause", "death".
    const char* digestName() const override { return "other"; }

    // A menu waiting for a key or pad button of its own (the controls page binding one)
    // takes every key event, and every pad button event, before anything else does; true
    // when it took it.
    virtual bool takeKey(int /*key*/, bool /*down*/) { return false; }
    virtual bool takePadButton(int /*joystick*/, int /*button*/, bool /*down*/) { return false; }

    void selectPrevious();
    void selectNext();
    // `player` (0 or 1) pressed the control; AnyPlayer for a raw key such as Enter.
    static constexpr int AnyPlayer = -1;
    void activateSelected(int player = AnyPlayer);
    void adjustSelected(int step, int player);
    // Who pressed for the activate or adjust running now.
    int actingPlayer() const { return acting; }

    unsigned selectedIndex() const { return selected; }
    std::size_t itemCount() const { return items.size(); }
    const MenuItem& item(std::size_t index) const { return *items[index]; }
    unsigned elapsedMilliseconds() const { return elapsed; }
    // Attack does not choose during the menu's first `milliseconds`: a player still
    // pressing it as the menu opened would otherwise choose without having seen it.
    void ignoreAttackFor(unsigned milliseconds) { attackIgnoredUntil = milliseconds; }
    bool takesAttack() const { return elapsed >= attackIgnoredUntil; }

protected:
    // The clone of a menu of kind M, made with `made`'s arguments: the same entries built
    // afresh, the same entry selected, the same sway and the same guard against attack.
    template <typename M, typename... Made>
    static std::unique_ptr<M> copyOf(const M& menu, Made&&... made) {
        auto copy = std::make_unique<M>(std::forward<Made>(made)...);
        copy->buildItems();
        copy->selected = menu.selected;
        copy->elapsed = menu.elapsed;
        copy->attackIgnoredUntil = menu.attackIgnoredUntil;
        return copy;
    }

    std::vector<std::unique_ptr<MenuItem>> items;

private:
    unsigned selected = 0;
    unsigned elapsed = 0;
    int acting = AnyPlayer;
    unsigned attackIgnoredUntil = 0;
};
