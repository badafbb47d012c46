// The command line and where the picture sits in outputs of any size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/options.h"
#include "app/picture_rect.h"

static ParsedOptions parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "quarnel");
    return parseOptions(int(arguments.size()), arguments.data());
}

TEST(Options, EachChoiceAndItsValues) {
    ParsedOptions none = parse({});
    EXPECT_EQ(none.error, "");
    EXPECT_EQ(none.options.display, DisplayChoice::ExactMode);
    EXPECT_FALSE(none.options.startLate);
    EXPECT_FALSE(none.options.help || none.options.version);

    ParsedOptions window = parse({"--window"});
    EXPECT_EQ(window.options.display, DisplayChoice::Window);
    EXPECT_EQ(window.options.width, 640);
    EXPECT_EQ(window.options.height, 480);

    // Both spellings of a value; --window beside --size only says the same.
    for (auto arguments : {std::vector<const char*>{"--size", "1024X600"},
                           std::vector<const char*>{"--window", "--size=1024x600"}}) {
        ParsedOptions size = parse(arguments);
        EXPECT_EQ(size.error, "");
        EXPECT_EQ(size.options.display, DisplayChoice::Window);
        EXPECT_EQ(size.options.width, 1024);
        EXPECT_EQ(size.options.height, 600);
    }

    ParsedOptions desktop = parse({"--from", "57.25", "--desktop"});
    EXPECT_EQ(desktop.error, "");
    EXPECT_EQ(desktop.options.display, DisplayChoice::Desktop);
    EXPECT_TRUE(desktop.options.startLate);
    EXPECT_DOUBLE_EQ(desktop.options.from, 57.25);
    EXPECT_TRUE(parse({"--from=0"}).options.startLate);
    EXPECT_DOUBLE_EQ(parse({"--from", "89.999"}).options.from, 89.999);

    EXPECT_TRUE(parse({"--help"}).options.help);
    EXPECT_TRUE(parse({"--version"}).options.version);
    EXPECT_NE(std::string(versionText()).find("quarnel "), std::string::npos);
}

// Every mistake gets one line that names the option or value at fault.
TEST(Options, MistakesAreNamed) {
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
        {{"--fullscreen"}, "unknown option '--fullscreen'"},
        {{"800x600"}, "unknown option '800x600'"},
        {{"--bogus=1"}, "unknown option '--bogus'"},
        {{"--window=1"}, "--window takes no value"},
        {{"--size"}, "--size needs a value"},
        {{"--window", "--from"}, "--from needs a value"},
        {{"--size", "800"}, "'800'"},
        {{"--size", "800x"}, "'800x'"},
        {{"--size", "x600"}, "'x600'"},
        {{"--size", "-800x600"}, "'-800x600'"},
        {{"--size", "800x600x2"}, "'800x600x2'"},
        {{"--size", "31x480"}, "'31x480'"},
        {{"--size", "640x16385"}, "'640x16385'"},
        {{"--size", "99999999999x480"}, "'99999999999x480'"},
        {{"--from", "90"}, "'90'"},
        {{"--from", "-1"}, "'-1'"},
        {{"--from", "1e1"}, "'1e1'"},
        {{"--from", "nan"}, "'nan'"},
        {{"--from", "1.2.3"}, "'1.2.3'"},
        {{"--from", "."}, "'.'"},
        {{"--from", ""}, "''"},
        {{"--desktop", "--window"}, "--desktop cannot be combined with --window"},
        {{"--size", "800x600", "--desktop"}, "--desktop cannot be combined with --size"},
    };
    for (const auto& [arguments, named] : cases) {
        const std::string error = parse(arguments).error;
        EXPECT_NE(error.find(named), std::string::npos) << arguments[0] << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

TEST(PictureRect, LargestCentredFourByThree) {
    struct Case {
        int width, height;
        PictureRect rect;
    };
    const Case cases[] = {
        {640, 480, {0, 0, 640, 480}},       // the demo's own size: all of it
        {800, 600, {0, 0, 800, 600}},       // 4:3 at any size: all of it
        {1920, 1080, {240, 0, 1440, 1080}}, // wide: bars left and right
        {800, 800, {0, 100, 800, 600}},     // tall: bars below and above
        {641, 480, {0, 0, 640, 480}},       // one spare column, on the right
        {1366, 768, {171, 0, 1024, 768}},   {100, 77, {0, 1, 100, 75}}, {0, 480, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const PictureRect r = centredPictureRect(c.width, c.height);
        EXPECT_EQ(r.x, c.rect.x) << c.width << "x" << c.height;
        EXPECT_EQ(r.y, c.rect.y) << c.width << "x" << c.height;
        EXPECT_EQ(r.width, c.rect.width) << c.width << "x" << c.height;
        EXPECT_EQ(r.height, c.rect.height) << c.width << "x" << c.height;
    }
    EXPECT_FALSE(hasBars(centredPictureRect(640, 480), 640, 480));
    EXPECT_TRUE(hasBars(centredPictureRect(641, 480), 641, 480));
    EXPECT_TRUE(hasBars(centredPictureRect(800, 800), 800, 800));
}
