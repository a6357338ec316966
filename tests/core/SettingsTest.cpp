#include <gtest/gtest.h>

#include "core/Settings.h"
#include "support/TempDataDir.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { Settings::instance().clear(); }

    // Loads the text as a settings file and returns what was printed on stdout.
    std::string load(const std::string& text) {
        dir.write("config.dat", text);
        testing::internal::CaptureStdout();
        Settings::instance().load("config.dat");
        return testing::internal::GetCapturedStdout();
    }

    Settings& settings = Settings::instance();
    TempDataDir dir;
};

TEST_F(SettingsTest, KeyNamesSingleCharactersAndTable) {
    load("key upper A\n"
         "key lower a\n"
         "key shouting LEFT\n"
         "key right Right\n"
         "key up up\nkey down DOWN\nkey space space\nkey tab Tab\nkey escape escape\n"
         "key function f1\n"
         "key nothing\n"
         "key digit 7\n"
         "key hash x\n"
         "key odd \xE9\n");
    EXPECT_EQ(settings.getInt("upper"), 65);
    EXPECT_EQ(settings.getInt("lower"), 97);
    EXPECT_EQ(settings.getInt("shouting"), 356);
    EXPECT_EQ(settings.getInt("right"), 358);
    EXPECT_EQ(settings.getInt("up"), 357);
    EXPECT_EQ(settings.getInt("down"), 359);
    EXPECT_EQ(settings.getInt("space"), 32);
    EXPECT_EQ(settings.getInt("tab"), 9);
    EXPECT_EQ(settings.getInt("escape"), 27);
    EXPECT_EQ(settings.getInt("function"), 0) << "only the seven table names are known";
    EXPECT_EQ(settings.getInt("nothing"), 0);
    EXPECT_EQ(settings.getInt("digit"), '7');
    EXPECT_EQ(settings.getInt("hash"), 'x');
    EXPECT_EQ(settings.getInt("odd"), static_cast<signed char>('\xE9')) << "a single character is a signed char";
}

TEST_F(SettingsTest, StringsKeepEverythingAfterTheSingleSeparator) {
    load("string one x\n"
         "string spaced  two words  # and a remark\n"
         "string bare\n"
         "string blank \n"
         "string tabbed\tvalue\n"
         "string dataDirectory data  # where the data lives\n"
         "string spacesOnly  # two spaces, then the remark\n");
    EXPECT_EQ(settings.getString("one"), "x");
    EXPECT_EQ(settings.getString("spaced"), " two words  ");
    EXPECT_EQ(settings.getString("tabbed"), "value");
    EXPECT_EQ(settings.getString("bare"), "");
    EXPECT_EQ(settings.getString("blank"), "");
    EXPECT_EQ(settings.getString("dataDirectory"), "data  ");
    EXPECT_EQ(settings.getString("spacesOnly"), " ");
}

// Comments and blank lines say nothing; only an unknown type word is reported.
TEST_F(SettingsTest, CommentsCutTheLineAndAnUnknownTypeWordIsReported) {
    const std::string printed = load("int width 800 # the window\n"
                                     "# int height 600\n"
                                     "float speed 2.5#inline\n"
                                     "\n"
                                     "      \n"
                                     "\t# indented comment\n"
                                     "bool fullscreen 1 # remark\n");
    EXPECT_EQ(settings.getInt("width"), 800);
    EXPECT_EQ(settings.getInt("height"), 0);
    EXPECT_FLOAT_EQ(settings.getFloat("speed"), 2.5f);
    EXPECT_EQ(settings.getInt("fullscreen"), 0);
    EXPECT_EQ(printed, "Unrecognized line: bool fullscreen 1 \n");
}

TEST_F(SettingsTest, MalformedNumbersKeepTheOldValue) {
    load("int width 800\nint width wide\nint height tall\nfloat g 9.5\nfloat g heavy\nint neg -42\n");
    EXPECT_EQ(settings.getInt("width"), 800);
    EXPECT_EQ(settings.getInt("height"), 0);
    EXPECT_FLOAT_EQ(settings.getFloat("g"), 9.5f);
    EXPECT_EQ(settings.getInt("neg"), -42);
}

TEST_F(SettingsTest, FilesMergeLaterLinesOverwriteAndTheMapsAreIndependent) {
    load("int width 800\nint width 1024\nstring name first\nfloat speed 3.5\nint count 4\nstring count four\n");
    dir.write("more.dat", "int height 768\nstring name second\n");
    settings.load("more.dat");
    EXPECT_EQ(settings.getInt("width"), 1024);
    EXPECT_EQ(settings.getInt("height"), 768);
    EXPECT_EQ(settings.getString("name"), "second");
    EXPECT_EQ(settings.getInt("speed"), 0);
    EXPECT_EQ(settings.getInt("count"), 4);
    EXPECT_EQ(settings.getString("count"), "four");
    EXPECT_FLOAT_EQ(settings.getFloat("count"), 0.0f);
}

TEST_F(SettingsTest, MissingFileChangesNothingAndSaysNothing) {
    load("int width 800\n");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    settings.load("does-not-exist.dat");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(settings.getInt("width"), 800);
}

}  // namespace
