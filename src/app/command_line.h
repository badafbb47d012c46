// Reading a command line: the demo and the capture tool walk their options
// with one walker, and read the values they share (--size, --from and the
// times) with one reader each, so both take the same text with the same
// limits and say the same thing about a mistake.
#pragma once

#include <string>
#include <vector>

// An option a program understands: "--window" is a flag, "--size" takes a
// value, given as the next argument or after '=' ("--size=800x600").
struct OptionName {
    const char* name;
    bool takesValue;
};

// Where the walk through argv[1..argc-1] has got to.
struct OptionWalk {
    int argc;
    const char* const* argv;
    int next = 1;
};

// The next option and its value (empty for a flag): true. False at the end of
// the arguments (error left empty) or at a mistake, with one line in error:
// "unknown option '--bogus'", "--window takes no value", "--from needs a value".
bool nextOption(OptionWalk& walk, const std::vector<OptionName>& known, std::string& name,
                std::string& value, std::string& error);

// A window or frame no smaller than this still shows a picture of a few
// pixels, and none larger than any OpenGL is asked to draw.
constexpr int smallestSide = 32;
constexpr int largestSide = 16384;

// --size WxH: W and H in decimal digits, 'x' or 'X' between, each side from
// smallestSide to largestSide. False with a one-line error otherwise.
bool readSizeOption(const std::string& value, int& width, int& height, std::string& error);
// --from SECONDS: plain decimal seconds (digits, at most one point), from 0
// to under the timeline's end, where nothing is left to draw.
bool readFromOption(const std::string& value, double& seconds, std::string& error);
// A moment on the timeline (the capture tool's --at and --to): plain decimal
// seconds from 0 to the timeline's end itself. name is the option, for error.
bool readTimeOption(const std::string& name, const std::string& value, double& seconds,
                    std::string& error);
// "(0 to under 90)": the --from range as the usage texts say it.
std::string fromRangeText();
