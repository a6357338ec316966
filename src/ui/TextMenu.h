#pragma once

#include <string>
#include <vector>

#include "ui/Menu.h"

// One line of a text menu: a label on the left and, for a setting, its value on the
// right, which Left and Right change.
class TextItem : public MenuItem {
public:
    TextItem() : MenuItem("") {}
    virtual std::string label() const = 0;
    // Empty for an entry that only does something (Controls, Back).
    virtual std::string value() const { return ""; }
};

// A menu of text lines in the game's font over the page background (the options): a
// title, one line per entry, and a hint under them. The selected line sways on a band,
// as the picture menus' selected entry sways.
class TextMenu : public Menu {
public:
    // The full-window picture under every text menu and the controls page.
    static constexpr const char* Background = "options_bk";

    void draw() override;

protected:
    virtual std::string title() const = 0;
    // The line under the entries; empty for none.
    virtual std::string hint() const { return ""; }
};
