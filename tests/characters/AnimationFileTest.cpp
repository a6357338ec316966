#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <utility>

#include "characters/AnimationLibrary.h"
#include "support/TempDataDir.h"

namespace {

// One key-frame record: joint 0 at `neck`, every other joint at `rest`.
std::string record(float neck, int duration, float rest = 5.0f) {
    std::string text = std::to_string(neck);
    for (int joint = 1; joint < JointCount; ++joint) text += " " + std::to_string(rest);
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
    data.write("animations/lonely.txt", "lonely\n");
    ASSERT_TRUE(library.load("Walk.txt") && library.load("lonely.txt"));
    EXPECT_EQ(library.find("Walk"), nullptr);
    const Animation* walk = library.find("walk");
    ASSERT_TRUE(walk != nullptr && walk->size() == 2u);
    EXPECT_FLOAT_EQ((*walk)[0].angles[0], 10.0f);
    EXPECT_EQ((*walk)[0].duration, 100);
    EXPECT_FLOAT_EQ((*walk)[1].angles[0], 20.0f);
    EXPECT_FLOAT_EQ((*walk)[1].angles[17], -7.5f);
    EXPECT_EQ((*walk)[1].duration, 200);
    ASSERT_NE(library.find("lonely"), nullptr);
    EXPECT_TRUE(library.find("lonely")->empty()) << "a file with only a name";
}

TEST_F(AnimationFileTest, ReadingStopsAtTheFirstIncompleteRecord) {
    std::string overflow = record(5, 10);
    overflow.replace(overflow.rfind("10"), 2, "2147483648");
    const std::pair<std::string, std::string> files[] = {
        {"partial", record(2, 20) + "1 2 3 4 5 6 7 8 9 10\n"},
        {"word", "1 2 3 oops " + record(3, 30)},
        {"fraction", record(2, 12) + "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 12.5\n"},
        {"huge", record(2, 2147483647)},
        {"overflow", overflow},
        {"notfinite", "inf " + record(2, 20) + "nan " + record(3, 30)},
        {"toobig", "1e50 " + record(2, 20)},
        {"backwards", record(2, -40)},
    };
    const std::size_t frames[] = {2, 1, 2, 2, 1, 1, 1, 2};
    for (std::size_t i = 0; i < std::size(files); ++i) {
        const std::string& name = files[i].first;
        SCOPED_TRACE(name);
        data.write("animations/" + name + ".txt", name + " " + record(1, 10) + files[i].second);
        EXPECT_TRUE(library.load(name + ".txt"));
        const Animation* animation = library.find(name);
        ASSERT_NE(animation, nullptr);
        EXPECT_EQ(animation->size(), frames[i]);
    }
    EXPECT_EQ((*library.find("huge"))[1].duration, 2147483647);
    EXPECT_EQ((*library.find("backwards"))[1].duration, 0) << "a negative duration lasts no time";
}

TEST_F(AnimationFileTest, ADuplicateNameOrAMissingFileIsRefused) {
    data.write("animations/Punch.txt", "punchstart " + record(10, 100));
    data.write("animations/Punch2.txt", "punchstart " + record(99, 100) + record(98, 100));
    ASSERT_TRUE(library.load("Punch.txt"));

    testing::internal::CaptureStderr();
    EXPECT_FALSE(library.load("Punch.txt"));
    EXPECT_FALSE(library.load("Punch2.txt"));
    EXPECT_FALSE(library.load("Nowhere.txt"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Warning: An Animation with name punchstart already exists.\n"
              "Warning: An Animation with name punchstart already exists.\n"
              "Error: Cannot open animation file Nowhere.txt\n");
    ASSERT_EQ(library.find("punchstart")->size(), 1u);
    EXPECT_FLOAT_EQ((*library.find("punchstart"))[0].angles[0], 10.0f);
    EXPECT_EQ(library.find("Nowhere.txt"), nullptr);
}

}  // namespace
