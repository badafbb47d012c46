// Placeholder until the mesh code lands.
#include "mesh/mesh.h"

Mesh::~Mesh() {}
void Mesh::computeNormals() {}
void Mesh::negate() {}
void Mesh::scale(float) {}
void Mesh::draw() const {}
