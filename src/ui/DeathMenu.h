#pragma once

#include "ui/Menu.h"

// Shown in home mode once every player is gone; it reuses the pause menu's pictures.
class DeathMenu : public Menu {
public:
    class RestartLevelItem : public MenuItem {
    public:
        RestartLevelItem() : MenuItem("pausemenu_restart") {}
        void activate() override;
    };
    class ExitToMainMenuItem : public MenuItem {
    public:
        ExitToMainMenuItem() : MenuItem("pausemenu_exit") {}
        void activate() override;
    };
    class RetryFromCheckpointItem : public MenuItem {
    public:
        RetryFromCheckpointItem() : MenuItem("pausemenu_checkpoint") {}
        void activate() override;
    };

    std::unique_ptr<Object> clone() const override { return copyOf(*this); }
    void buildItems() override;
    void cancel() override;
    const char* digestName() const override { return "death"; }
};
