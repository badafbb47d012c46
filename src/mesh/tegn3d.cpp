// Placeholder until the mesh code lands.
#include "mesh/tegn3d.h"

tegn3d::~tegn3d() {}
bool tegn3d::loadFromFile(const char*) { return false; }
void tegn3d::drawAll() const {}
