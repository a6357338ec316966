// The match as one value: its dice, its objects and the references between them are
// copied and brought back exactly, and a copy goes on as the original would have.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/CRandom.h"

namespace {

TEST(MatchTest, TheGeneratorDrawsWhatTheCLibraryDrawsAndACopyGoesOnAlike) {
    for (const unsigned seed : {0u, 1u, 7u, 12345u, 0x80000000u, 0xffffffffu}) {
        std::srand(seed);
        CRandom ours(seed);
        for (int i = 0; i < 5000; ++i) ASSERT_EQ(ours.next(), std::rand()) << "seed " << seed << ", draw " << i;
    }
    CRandom unseeded;
    CRandom copy = unseeded;
    std::srand(1);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(unseeded.next(), std::rand());
    for (int i = 0; i < 100; ++i) copy.next();
    EXPECT_EQ(copy, unseeded);
}

}  // namespace
