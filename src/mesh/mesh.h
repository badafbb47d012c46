// One triangle mesh with public, tightly packed arrays that go straight to
// OpenGL as client-side vertex arrays.
#pragma once

#include <cstdint>

#include "mesh/vec3.h"

struct Triangle {
    uint32_t corner[3]; // vertex indices, used in stored order
};

struct TexCoord {
    float s = 0.0f;
    float t = 0.0f;
};

class Mesh {
  public:
    Vec3* vertices = nullptr;
    Triangle* triangles = nullptr;
    Vec3* normals = nullptr;
    TexCoord* texCoords = nullptr;
    uint32_t texture = 0; // GL texture name bound before drawing; 0 until setTexture
    int32_t vertexCount = 0;
    int32_t triangleCount = 0;
    int32_t normalCount = 0;
    int32_t texCoordCount = 0;

    Mesh() = default;
    ~Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Area-weighted smooth vertex normals from the positions and triangles
    // (every corner below vertexCount). A vertex that no face of non-zero area
    // touches gets (0, 0, 0).
    void computeNormals();
    // Every position (x, y, z) becomes (-x, -y, -z); normals are untouched.
    void negate();
    // Every position is multiplied by factor; normals are untouched.
    void scale(float factor);
    void setTexture(uint32_t name) { texture = name; }
    // One glDrawElements over the client-side arrays; sets no other state.
    void draw() const;
};
