// Where the tree and the build under test are. Only tree_paths.cpp is
// compiled with them, so every other test's object file is the same in any
// clone of the tree and the compiler cache serves it there.
#pragma once

#include <string>

std::string sourceDir(); // the top of the tree
std::string binaryDir(); // the build folder the tests were built in
