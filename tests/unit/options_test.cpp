// The command line and where the picture sits in outputs of any size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/options.h"
#include "options.h"
#include "platform/picture_rect.h"

static ParsedOptions parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "quarnel");
    return parseOptions(int(arguments.size()), arguments.data());
}

// A display choice, its size and the start time in one record.
static std::string summary(const ParsedOptions& p) {
    const DemoOptions& o = p.options;
    return p.error + "|" + std::to_string(int(o.display)) + " " + std::to_string(o.width) + "x" +
           std::to_string(o.height) + (o.startLate ? " from " + std::to_string(o.from) : "") +
           (o.vsync ? "" : " no-vsync") + (o.loop ? " loop" : "") + (o.help ? " help" : "") +
           (o.version ? " version" : "");
}

TEST(Options, EachChoiceAndItsValues) {
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{}, "|0 640x480"},
        {{"--window"}, "|2 640x480"},
        // both spellings of a value; --window beside --size only says the same
        {{"--size", "1024X600"}, "|2 1024x600"},
        {{"--window", "--size=1024x600"}, "|2 1024x600"},
        {{"--from", "57.25", "--desktop", "--loop"}, "|1 640x480 from 57.250000 loop"},
        {{"--from=0"}, "|0 640x480 from 0.000000"},
        {{"--help", "--version"}, "|0 640x480 help version"},
        {{"--no-vsync", "--window"}, "|2 640x480 no-vsync"},
    };
    for (const auto& [arguments, expected] : cases)
        EXPECT_EQ(summary(parse(arguments)), expected);
}

// Every mistake gets one line that names the option or value at fault.
TEST(Options, MistakesAreNamed) {
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{"800x600"}, "unknown option '800x600'"},
        {{"--bogus=1"}, "unknown option '--bogus'"},
        {{"--window=1"}, "--window takes no value"},
        {{"--no-vsync=0"}, "--no-vsync takes no value"},
        {{"--loop=2"}, "--loop takes no value"},
        {{"--window", "--from"}, "--from needs a value"},
        {{"--size", "800x"}, "'800x'"},
        {{"--size", "-800x600"}, "'-800x600'"},
        {{"--size", "31x480"}, "'31x480'"},
        {{"--size", "99999999999x480"}, "'99999999999x480'"},
        {{"--from", "90"}, "'90'"},
        {{"--from", "1e1"}, "'1e1'"},
        {{"--from", "1.2.3"}, "'1.2.3'"},
        {{"--size", "800x600", "--desktop"}, "--desktop cannot be combined with --size"},
    };
    for (const auto& [arguments, named] : cases) {
        const std::string error = parse(arguments).error;
        EXPECT_NE(error.find(named), std::string::npos) << arguments[0] << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

// The capture tool reads the options it shares with the demo as the demo
// does: the same values, or the same message for a mistake.
TEST(Options, TheCaptureToolReadsSharedOptionsAsTheDemoDoes) {
    const std::pair<const char*, const char*> cases[] = {
        {"--size", "1024X600"},  {"--size", "16384x32"}, {"--size", "640x20"},
        {"--size", "16386x480"}, {"--size", "1e3x600"},  {"--from", "89.99"},
        {"--from", "90"},        {"--from", "1e1"},      {"--from", "-1"},
        {"--bogus", "1"},
    };
    for (const auto& [name, value] : cases) {
        const ParsedOptions demo = parse({name, value});
        CaptureOptions capture;
        std::string error;
        const char* argv[] = {"quarnel-capture", "--video", "x.mp4", name, value};
        const bool understood = parseOptions(5, argv, capture, error);
        EXPECT_EQ(understood, demo.error.empty()) << name << " " << value;
        EXPECT_EQ(error, demo.error);
        if (!understood) continue;
        EXPECT_EQ(capture.width, demo.options.width) << value;
        EXPECT_EQ(capture.height, demo.options.height) << value;
        EXPECT_EQ(capture.from, demo.options.from) << value;
    }
    // Both usages end their last line, and say the end of --from as it is.
    for (const std::string& usage : {demoUsage(), captureUsage()}) {
        EXPECT_EQ(usage.back(), '\n');
        EXPECT_NE(usage.find("(0 to under 90)"), std::string::npos) << usage;
    }
    EXPECT_EQ(demoUsage().find("(0 to 90)"), std::string::npos);
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
