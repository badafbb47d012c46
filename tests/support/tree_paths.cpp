#include "tree_paths.h"

std::string sourceDir() {
    return QUARNEL_SOURCE_DIR;
}
std::string binaryDir() {
    return QUARNEL_BINARY_DIR;
}
