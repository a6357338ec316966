#pragma once

#include "ui/Menu.h"

// Opened by Escape during a home-mode game. Options comes last: recorded games leave by
// the third entry, Exit, and must go on doing so.
class PauseMenu : public Menu {
public:
    class ResumeGameItem : public MenuItem {
    public:
        ResumeGameItem() : MenuItem("pausemenu_resume") {}
        void activate() override;
    };
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

    class OptionsItem : public MenuItem {
    public:
        OptionsItem() : MenuItem("pausemenu_options") {}
        void activate() override;
    };

    std::unique_ptr<Object> clone() const override { return copyOf(*this); }
    void buildItems() override;
    void cancel() override;
    const char* digestName() const override { return "pause"; }
};
