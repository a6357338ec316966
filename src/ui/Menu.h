#pragma once

#include <memory>
#include <string>
#include <vector>

#include "world/Object.h"

// One picture entry of a menu; activate runs its action. An activate may close the
// menu that owns it, so it touches neither the menu nor itself afterwards.
class MenuItem {
public:
    explicit MenuItem(std::string texture) : textureName(std::move(texture)) {}
    virtual ~MenuItem() = default;
    virtual void activate() = 0;

    const std::string textureName;
};

// A column of picture entries over a full-window background; the selected one sways.
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

    void selectPrevious();
    void selectNext();
    void activateSelected();

    unsigned selectedIndex() const { return selected; }
    std::size_t itemCount() const { return items.size(); }
    const MenuItem& item(std::size_t index) const { return *items[index]; }
    unsigned elapsedMilliseconds() const { return elapsed; }

protected:
    // The clone of a menu of kind M: the same entries built afresh, the same entry
    // selected and the same sway.
    template <typename M>
    static std::unique_ptr<Object> copyOf(const M& menu) {
        auto copy = std::make_unique<M>();
        copy->buildItems();
        copy->selected = menu.selected;
        copy->elapsed = menu.elapsed;
        return copy;
    }

    std::vector<std::unique_ptr<MenuItem>> items;

private:
    unsigned selected = 0;
    unsigned elapsed = 0;
};
