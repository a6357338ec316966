#include "ui/TextMenu.h"

#include <cmath>

#include "core/Game.h"
#include "ui/PageText.h"

namespace {

constexpr float kTitleBottom = 0.62f;
constexpr float kTitleSize = 0.17f;
constexpr float kFirstLine = 0.36f;
constexpr float kLineStep = 0.145f;
constexpr float kLineSize = 0.085f;
constexpr float kHintBottom = -0.76f;
constexpr float kHintSize = 0.05f;
constexpr float kLeft = -0.72f;
constexpr float kRight = 0.72f;
// The selected line swings this far either side, one full sway in about 1.26 s.
constexpr float kSway = 0.015f;

}  // namespace

void TextMenu::draw() {
    const Game& game = Game::instance();
    const PageText page(game.getWindowWidth(), game.getWindowHeight());
    page.line(title(), 0.0f, kTitleBottom, kTitleSize, PageText::Align::Centre);

    const float sway = kSway * std::sin(static_cast<float>(elapsedMilliseconds() * 0.005));
    for (std::size_t i = 0; i < itemCount(); ++i) {
        const auto* entry = dynamic_cast<const TextItem*>(&item(i));
        if (entry == nullptr) {
            continue;
        }
        const float bottom = kFirstLine - kLineStep * static_cast<float>(i);
        const bool selected = i == selectedIndex();
        const float shift = selected ? sway : 0.0f;
        if (selected) {
            page.band(kLeft - 0.05f, kRight + 0.05f, bottom, kLineSize, 0.79f, 0.83f, 0.96f);
        }
        const std::string value = entry->value();
        page.line(entry->label(), kLeft + shift, bottom, kLineSize, PageText::Align::Left, value.empty() ? 1.44f : 0.8f);
        if (!value.empty()) {
            page.line(selected ? "< " + value + " >" : value, kRight + shift, bottom, kLineSize, PageText::Align::Right,
                      0.66f);
        }
    }
    const std::string under = hint();
    if (!under.empty()) {
        page.line(under, 0.0f, kHintBottom, kHintSize, PageText::Align::Centre, 1.9f);
    }
}
