// Operations on one mesh: smooth normals, point reflection, scaling, drawing.
#include "mesh/mesh.h"

#include <GL/gl.h>

Mesh::~Mesh() {
    delete[] vertices;
    delete[] triangles;
    delete[] normals;
    delete[] texCoords;
    vertices = nullptr;
    triangles = nullptr;
    normals = nullptr;
    texCoords = nullptr;
}

// Each face adds its unnormalised cross product (twice its area) to its three
// corners, so larger faces weigh more. A vertex with a zero sum (unused, or
// only in degenerate faces) keeps the normal (0, 0, 0) rather than NaNs.
void Mesh::computeNormals() {
    for (int32_t i = 0; i < vertexCount; i++)
        normals[i] = Vec3();

    Vec3 AB, AC;
    for (int32_t f = 0; f < triangleCount; f++) {
        const uint32_t* c = triangles[f].corner;
        AB.setFromTo(vertices[c[0]], vertices[c[1]]);
        AC.setFromTo(vertices[c[0]], vertices[c[2]]);
        Vec3 trinormal = AB.cross(AC);
        normals[c[0]] += trinormal;
        normals[c[1]] += trinormal;
        normals[c[2]] += trinormal;
    }

    // The length once per vertex: the same division normalize() makes.
    for (int32_t i = 0; i < vertexCount; i++) {
        Vec3& n = normals[i];
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

    glVertexPointer(3, GL_FLOAT, 0, vertices);
    glNormalPointer(GL_FLOAT, 0, normals);
    glTexCoordPointer(2, GL_FLOAT, 0, texCoords);
    glDrawElements(GL_TRIANGLES, 3 * triangleCount, GL_UNSIGNED_INT, triangles);

    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}
