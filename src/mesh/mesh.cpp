// Operations on one mesh: smooth normals, point reflection, scaling, drawing.
#include "mesh/mesh.h"

#include <GL/gl.h>

void Mesh::resize(int32_t vertexcnt, int32_t trianglecnt) {
    vertexCount = normalCount = texCoordCount = vertexcnt > 0 ? vertexcnt : 0;
    triangleCount = trianglecnt > 0 ? trianglecnt : 0;
    vertices.assign(size_t(vertexCount), Vec3());
    normals.assign(size_t(vertexCount), Vec3());
    texCoords.assign(size_t(vertexCount), TexCoord());
    triangles.assign(size_t(triangleCount), Triangle{{0, 0, 0}});
}

// Each face adds its unnormalised cross product (twice its area) to its three
// corners, so larger faces weigh more. A vertex with a zero sum (unused, or
// only in degenerate faces) keeps the normal (0, 0, 0) rather than NaNs.
void Mesh::computeNormals() {
    // Plain pointers in the loops: the wobble scene runs this every frame.
    Vec3* const normal = normals.data();
    const Vec3* const vertex = vertices.data();
    const Triangle* const face = triangles.data();
    for (int32_t i = 0; i < vertexCount; i++)
        normal[i] = Vec3();

    Vec3 AB, AC;
    for (int32_t f = 0; f < triangleCount; f++) {
        const uint32_t* c = face[f].corner;
        AB.setFromTo(vertex[c[0]], vertex[c[1]]);
        AC.setFromTo(vertex[c[0]], vertex[c[2]]);
        Vec3 trinormal = AB.cross(AC);
        normal[c[0]] += trinormal;
        normal[c[1]] += trinormal;
        normal[c[2]] += trinormal;
    }

    // The length once per vertex: the same division normalize() makes.
    for (int32_t i = 0; i < vertexCount; i++) {
        Vec3& n = normal[i];
        const float length = n.length();
        if (length > 0.0f) n = Vec3(n.x / length, n.y / length, n.z / length);
    }
}

void Mesh::negate() {
    for (int32_t i = 0; i < vertexCount; i++) {
        vertices[i].x = -vertices[i].x;
        vertices[i].y = -vertices[i].y;
        vertices[i].z = -vertices[i].z;
    }
}

void Mesh::scale(float factor) {
    for (int32_t i = 0; i < vertexCount; i++) {
        vertices[i].x *= factor;
        vertices[i].y *= factor;
        vertices[i].z *= factor;
    }
}

// Texture, colour, blending and matrices are the caller's.
void Mesh::draw() const {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);

    glVertexPointer(3, GL_FLOAT, 0, vertices.data());
    glNormalPointer(GL_FLOAT, 0, normals.data());
    glTexCoordPointer(2, GL_FLOAT, 0, texCoords.data());
    glDrawElements(GL_TRIANGLES, 3 * triangleCount, GL_UNSIGNED_INT, triangles.data());

    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}
