#pragma once

#include "ui/TextMenu.h"

// The options, from the main menu and the pause menu: music and effects volume, full
// screen, window size, difficulty and the controls page. Every change is in force at
// once and saved in the player's own settings file. During an online game only what
// stays on this machine is offered (volumes, full screen, window size), and since both
// machines show the same menu, a change is made only on the machine whose player
// pressed for it.
class OptionsMenu : public TextMenu {
public:
    class SettingItem;
    class MusicVolumeItem;
    class EffectsVolumeItem;
    class FullScreenItem;
    class WindowSizeItem;
    class DifficultyItem;
    class ControlsItem;
    class BackItem;

    explicit OptionsMenu(bool onlineGame);
    std::unique_ptr<Object> clone() const override { return copyOf(*this, online); }

    void buildItems() override;
    // Escape: back to the menu the options came from.
    void cancel() override;
    // Whether the press being handled may change this machine's settings.
    bool pressIsLocal() const;

protected:
    std::string title() const override;
    std::string hint() const override;

private:
    bool online;
};
