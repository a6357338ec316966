#include <gtest/gtest.h>

#include <climits>

#include "render/CreditsHUD.h"
#include "render/Font.h"
#include "render/HealthBar.h"

// The numbers behind the head-up display: where digits go, how the damage trail drains,
// where bars sit, what the arcade prompts show.
namespace {

std::vector<int> digitsOf(const std::vector<Font::DigitCell>& cells) {
    std::vector<int> digits;
    for (const Font::DigitCell& cell : cells) {
        digits.push_back(cell.digit);
    }
    return digits;
}

TEST(FontLayout, AsManyDigitsAsNeededButAtLeastOne) {
    const std::vector<Font::DigitCell> zero = Font::digitCells(0.3f, 0, Font::AllDigits);
    ASSERT_EQ(zero.size(), 1u);
    EXPECT_FLOAT_EQ(zero[0].left, 0.3f);
    EXPECT_EQ(zero[0].digit, 0);

    EXPECT_EQ(digitsOf(Font::digitCells(0.0f, 907, Font::AllDigits)), (std::vector<int>{7, 0, 9}));
    EXPECT_EQ(digitsOf(Font::digitCells(0.0f, INT_MAX, Font::AllDigits)).size(), 10u);
}

TEST(FontLayout, FixedDigitCountPadsWithZerosAndKeepsTheRightEdge) {
    const std::vector<Font::DigitCell> padded = Font::digitCells(-0.5f, 7, 3);
    const std::vector<Font::DigitCell> full = Font::digitCells(-0.5f, 123, Font::AllDigits);
    EXPECT_EQ(digitsOf(padded), (std::vector<int>{7, 0, 0}));
    ASSERT_EQ(full.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(padded[i].left, full[i].left);
    }
    EXPECT_FLOAT_EQ(padded[0].left, -0.25f);
    EXPECT_FLOAT_EQ(padded[2].left, -0.5f);

    EXPECT_EQ(digitsOf(Font::digitCells(0.0f, 12345, 2)), (std::vector<int>{5, 4}));
}

TEST(FontLayout, NegativeValuesShowTheirMagnitude) {
    EXPECT_EQ(digitsOf(Font::digitCells(0.0f, -42, Font::AllDigits)), (std::vector<int>{2, 4}));
    EXPECT_EQ(digitsOf(Font::digitCells(0.0f, INT_MIN, 1)), (std::vector<int>{8}));
}

TEST(HealthBarTrail, DrainsATenthPerSecondAfterALoss) {
    HealthBar bar;
    bar.setHealth(0.5f);
    for (int i = 0; i < 249; ++i) {
        bar.update(20);
    }
    EXPECT_NEAR(bar.shownHealth, 0.502f, 1e-4);
    bar.update(20);
    EXPECT_NEAR(bar.shownHealth, 0.5f, 1e-4);
    bar.update(20);
    bar.update(20);
    EXPECT_FLOAT_EQ(bar.shownHealth, 0.5f);
}

TEST(HealthBarTrail, FollowsARiseAtOnce) {
    HealthBar bar;
    bar.shownHealth = 0.3f;
    bar.setHealth(0.8f);
    bar.update(20);
    EXPECT_FLOAT_EQ(bar.shownHealth, 0.8f);
}

TEST(HealthBarGeometry, UnknownSlotsDrawCentred) {
    const HealthBar::Rect centre = HealthBar::frameOf(HealthBar::CentreSlot);
    const HealthBar::Rect odd = HealthBar::frameOf(-4);
    EXPECT_DOUBLE_EQ(odd.left, centre.left);
    EXPECT_DOUBLE_EQ(odd.right, centre.right);
    EXPECT_DOUBLE_EQ(odd.bottom, centre.bottom);
    EXPECT_DOUBLE_EQ(odd.top, centre.top);
}

TEST(HealthBarGeometry, BarGrowsWithTheValueInsideTheFrame) {
    const HealthBar::Rect frame = HealthBar::frameOf(HealthBar::CentreSlot);
    const HealthBar::Rect full = HealthBar::barOf(frame, 1.0);
    EXPECT_NEAR(full.left, -0.35, 1e-12);
    EXPECT_NEAR(full.right, 0.6125, 1e-12);
    EXPECT_NEAR(full.bottom, 0.83125, 1e-12);
    EXPECT_NEAR(full.top, 0.8875, 1e-12);

    const HealthBar::Rect half = HealthBar::barOf(frame, 0.5);
    EXPECT_NEAR(half.right, -0.35 + 0.48125, 1e-12);

    const HealthBar::Rect below = HealthBar::barOf(frame, -0.4);
    EXPECT_DOUBLE_EQ(below.right, below.left);
    EXPECT_DOUBLE_EQ(HealthBar::barOf(frame, 3.0).right, full.right);
}

TEST(CreditsPrompts, CreditsShowOneDigit) { EXPECT_EQ(CreditsHUD::creditsDigit(12), 2); }

TEST(CreditsPrompts, ContinueCountsWholeSecondsDownToOne) {
    EXPECT_EQ(CreditsHUD::continueSeconds(20000), 21);
    EXPECT_EQ(CreditsHUD::continueSeconds(9001), 10);
    EXPECT_EQ(CreditsHUD::continueSeconds(1000), 2);
    EXPECT_EQ(CreditsHUD::continueSeconds(999), 1);
    EXPECT_EQ(CreditsHUD::continueSeconds(1), 1);
    EXPECT_EQ(CreditsHUD::continueSeconds(0), 0);
    EXPECT_EQ(CreditsHUD::continueSeconds(-40), 0);
}

TEST(CreditsPrompts, JoinNeedsACreditAndAFreePlace) {
    EXPECT_FALSE(CreditsHUD::joinPromptShown(0, nullptr));
    EXPECT_FALSE(CreditsHUD::joinPromptShown(-3, nullptr));
    EXPECT_TRUE(CreditsHUD::joinPromptShown(1, nullptr));
}

}  // namespace
