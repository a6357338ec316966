#include <gtest/gtest.h>

#include <string>

#include "characters/AnimationLibrary.h"
#include "support/TempDataDir.h"

namespace {

// One key-frame record: joint 0 at `neck`, every other joint at `rest`.
std::string record(float neck, int duration, float rest = 5.0f) {
    std::string text = std::to_string(neck);
    for (int joint = 1; joint < JointCount; ++joint) {
        text += " " + std::to_string(rest);
    }
    return text + " " + std::to_string(duration) + "\n";
}

class AnimationFileTest : public ::testing::Test {
protected:
    TempDataDir data;
    AnimationLibrary& library = AnimationLibrary::instance();
};

TEST_F(AnimationFileTest, StoresRecordsUnderTheNameInsideTheFile) {
    std::string second = record(20, 200, -7.5f);
    second[second.find(' ')] = '\t';
    second[second.rfind(' ')] = '\n';
    data.write("animations/Walk.txt", "walk\n" + record(10, 100) + second);
    ASSERT_TRUE(library.load("Walk.txt"));

    EXPECT_EQ(library.find("Walk.txt"), nullptr);
    EXPECT_EQ(library.find("Walk"), nullptr);
    const Animation* walk = library.find("walk");
    ASSERT_NE(walk, nullptr);
    ASSERT_EQ(walk->size(), 2u);
    EXPECT_FLOAT_EQ((*walk)[0].angles[0], 10.0f);
    EXPECT_EQ((*walk)[0].duration, 100);
    EXPECT_FLOAT_EQ((*walk)[1].angles[0], 20.0f);
    EXPECT_FLOAT_EQ((*walk)[1].angles[17], -7.5f);
    EXPECT_EQ((*walk)[1].duration, 200);
}

TEST_F(AnimationFileTest, AFileWithOnlyANameStoresAnEmptyAnimation) {
    data.write("animations/lonely.txt", "lonely\n");
    EXPECT_TRUE(library.load("lonely.txt"));
    const Animation* lonely = library.find("lonely");
    ASSERT_NE(lonely, nullptr);
    EXPECT_TRUE(lonely->empty());
}

TEST_F(AnimationFileTest, ReadingStopsAtTheFirstIncompleteRecord) {
    std::string partial = "1 2 3 4 5 6 7 8 9 10\n";
    data.write("animations/partial.txt", "partial " + record(1, 10) + record(2, 20) + partial);
    data.write("animations/word.txt",
               "word " + record(1, 10) + "1 2 3 oops " + record(3, 30) + record(4, 40));
    data.write("animations/fraction.txt",
               "fraction " + record(1, 10) + record(2, 12) +
                   "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 12.5\n");
    data.write("animations/huge.txt", "huge " + record(1, 10) + record(2, 2147483647));
    std::string bigDuration = record(5, 10);
    bigDuration.replace(bigDuration.rfind("10"), 2, "2147483648");
    data.write("animations/overflow.txt", "overflow " + record(1, 10) + bigDuration);
    data.write("animations/notfinite.txt",
               "notfinite " + record(1, 10) + "inf " + record(2, 20) + "nan " + record(3, 30));
    data.write("animations/toobig.txt", "toobig " + record(1, 10) + "1e50 " + record(2, 20));

    const std::pair<const char*, std::size_t> cases[] = {
        {"partial", 2},  {"word", 1},      {"fraction", 2}, {"huge", 2},
        {"overflow", 1}, {"notfinite", 1}, {"toobig", 1},
    };
    for (const auto& [name, frames] : cases) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(library.load(std::string(name) + ".txt"));
        const Animation* animation = library.find(name);
        ASSERT_NE(animation, nullptr);
        EXPECT_EQ(animation->size(), frames);
    }
    EXPECT_EQ((*library.find("huge"))[1].duration, 2147483647);
}

TEST_F(AnimationFileTest, ANegativeDurationLastsNoTime) {
    data.write("animations/backwards.txt", "backwards " + record(1, 100) + record(2, -40));
    ASSERT_TRUE(library.load("backwards.txt"));
    const Animation* backwards = library.find("backwards");
    ASSERT_EQ(backwards->size(), 2u);
    EXPECT_EQ((*backwards)[1].duration, 0);
}

TEST_F(AnimationFileTest, ASecondFileWithTheSameNameIsRefused) {
    data.write("animations/Punch.txt", "punchstart " + record(10, 100));
    data.write("animations/Punch2.txt", "punchstart " + record(99, 100) + record(98, 100));
    ASSERT_TRUE(library.load("Punch.txt"));

    testing::internal::CaptureStderr();
    EXPECT_FALSE(library.load("Punch.txt"));
    EXPECT_FALSE(library.load("Punch2.txt"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Warning: An Animation with name punchstart already exists.\n"
              "Warning: An Animation with name punchstart already exists.\n");

    const Animation* punch = library.find("punchstart");
    ASSERT_EQ(punch->size(), 1u);
    EXPECT_FLOAT_EQ((*punch)[0].angles[0], 10.0f);
}

TEST_F(AnimationFileTest, AMissingFileIsReportedAndStoresNothing) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(library.load("Nowhere.txt"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Cannot open animation file Nowhere.txt\n");
    EXPECT_EQ(library.find("Nowhere.txt"), nullptr);
}

}  // namespace
