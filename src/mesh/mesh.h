// One triangle mesh with public, tightly packed arrays that go straight to
// OpenGL as client-side vertex arrays.
#pragma once

#include <cstdint>
#include <vector>

#include "mesh/vec3.h"

struct Triangle {
    uint32_t corner[3]; // vertex indices, used in stored order
};

struct TexCoord {
    float s = 0.0f;
    float t = 0.0f;
};

static_assert(sizeof(Triangle) == 12 && sizeof(TexCoord) == 8,
              "triangles and texture coordinates are handed to OpenGL tightly packed");

// The arrays and their counts are written together by resize(); everyone
// else reads the counts and reads or rewrites the elements in place.
class Mesh {
  public:
    std::vector<Vec3> vertices;      // vertexCount positions
    std::vector<Triangle> triangles; // triangleCount faces
    std::vector<Vec3> normals;       // normalCount (= vertexCount) normals; (0, 0, 0) when made
    std::vector<TexCoord> texCoords; // texCoordCount (= vertexCount) pairs
    uint32_t texture = 0;            // GL texture name bound before drawing; 0 until setTexture
    int32_t vertexCount = 0;
    int32_t triangleCount = 0;
    int32_t normalCount = 0;
    int32_t texCoordCount = 0;

    // vertexcnt positions, normals and texture coordinates and trianglecnt
    // triangles, all zero, with the four counts to match (negative counts as 0).
    void resize(int32_t vertexcnt, int32_t trianglecnt);

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
