#pragma once

#include "ui/Menu.h"

// Home mode's first screen: Continue (once a campaign reached its second level), one-
// and two-player games, credits, options, quit.
class MainMenu : public Menu {
public:
    class ContinueItem : public MenuItem {
    public:
        ContinueItem() : MenuItem("mainmenu_continue") {}
        void activate() override;
    };
    class NewGameItem : public MenuItem {
    public:
        using MenuItem::MenuItem;
    };
    class New1PlayerGameItem : public NewGameItem {
    public:
        New1PlayerGameItem() : NewGameItem("mainmenu_1p") {}
        void activate() override;
    };
    class New2PlayerGameItem : public NewGameItem {
    public:
        New2PlayerGameItem() : NewGameItem("mainmenu_2p") {}
        void activate() override;
    };
    class CreditsItem : public MenuItem {
    public:
        CreditsItem() : MenuItem("mainmenu_credits") {}
        void activate() override;
    };
    class OptionsItem : public MenuItem {
    public:
        OptionsItem() : MenuItem("mainmenu_options") {}
        void activate() override;
    };
    class QuitItem : public MenuItem {
    public:
        QuitItem() : MenuItem("mainmenu_quit") {}
        void activate() override;
    };

    std::unique_ptr<Object> clone() const override { return copyOf(*this); }
    void buildItems() override;
    void cancel() override;
    const char* digestName() const override { return "main"; }
};
