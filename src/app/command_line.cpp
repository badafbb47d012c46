#include "app/command_line.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/timeline.h"

bool nextOption(OptionWalk& walk, const std::vector<OptionName>& known, std::string& name,
                std::string& value, std::string& error) {
    if (walk.next >= walk.argc) return false;
    const char* argument = walk.argv[walk.next++];
    name = argument ? argument : "";
    value.clear();
    bool hasValue = false;
    const size_t equals = name.find('=');
    if (name.compare(0, 2, "--") == 0 && equals != std::string::npos) {
        value = name.substr(equals + 1);
        name = name.substr(0, equals);
        hasValue = true;
    }
    const OptionName* option = nullptr;
    for (const OptionName& candidate : known)
        if (name == candidate.name) option = &candidate;
    if (!option) {
        error = "unknown option '" + name + "'";
        return false;
    }
    if (!option->takesValue && hasValue) {
        error = name + " takes no value";
        return false;
    }
    if (option->takesValue && !hasValue) {
        if (walk.next >= walk.argc) {
            error = name + " needs a value";
            return false;
        }
        const char* next = walk.argv[walk.next++];
        value = next ? next : "";
    }
    return true;
}

// Digits only: no sign, no spaces, no exponent.
static bool readSide(const std::string& text, int& side) {
    if (text.empty() || text.size() > 6) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    side = std::atoi(text.c_str());
    return side >= smallestSide && side <= largestSide;
}

bool readSizeOption(const std::string& value, int& width, int& height, std::string& error) {
    const size_t cross = value.find_first_of("xX");
    if (cross != std::string::npos && readSide(value.substr(0, cross), width) &&
        readSide(value.substr(cross + 1), height))
        return true;
    error = "--size needs WxH, each side from " + std::to_string(smallestSide) + " to " +
            std::to_string(largestSide) + " pixels, not '" + value + "'";
    return false;
}

// A plain decimal number of seconds: digits with at most one point.
static bool readSeconds(const std::string& text, double& seconds) {
    int digits = 0, points = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            digits++;
        else if (c == '.')
            points++;
        else
            return false;
    }
    if (digits == 0 || points > 1) return false;
    seconds = std::strtod(text.c_str(), nullptr);
    return std::isfinite(seconds);
}

// The end in whole seconds as the messages and usage texts write it.
static std::string endText() {
    char text[32];
    std::snprintf(text, sizeof text, "%g", double(timelineEnd()));
    return text;
}

std::string fromRangeText() {
    return "(0 to under " + endText() + ")";
}

bool readFromOption(const std::string& value, double& seconds, std::string& error) {
    if (readSeconds(value, seconds) && seconds < timelineEnd()) return true;
    error = "--from needs seconds from 0 to under " + endText() + ", not '" + value + "'";
    return false;
}

bool readTimeOption(const std::string& name, const std::string& value, double& seconds,
                    std::string& error) {
    if (readSeconds(value, seconds) && seconds <= timelineEnd()) return true;
    error = name + " needs seconds from 0 to " + endText() + ", not '" + value + "'";
    return false;
}
