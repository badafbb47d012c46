// Drawing from buffers: the one path every primitive ends in. The ES state it
// sets (buffers bound, attribute arrays, uniforms) is remembered, so a call
// that would set what is already set is not made.
#pragma once

#include <GLES2/gl2.h>
#include <algorithm>
#include <cstddef>
#include <vector>

// Where an attribute's values come from: an array of floats in a buffer, or
// one value for every vertex.
struct AttributeSource {
    GLuint buffer = 0;            // 0: value, for every vertex
    int size = 4;                 // floats per vertex in the buffer
    int stride = 0;               // bytes from one vertex to the next (0: packed)
    size_t offset = 0;            // bytes to the first vertex's
    const float* value = nullptr; // four floats, when there is no buffer
};

struct VertexSources {
    AttributeSource position, colour, texCoord;
};

// The program in the current context, made on first use; false when it
// does not build (nothing is drawn then).
bool readyToDraw();
// Draws count 32-bit indices from the start of indexBuffer as primitive
// (GL_TRIANGLES or GL_LINES) under the record's matrices and texturing.
void drawIndexed(GLenum primitive, GLuint indexBuffer, int count, const VertexSources& sources);

// Buffers, bound through the record of what is bound.
GLuint newBuffer();
void deleteBuffer(GLuint buffer);
void bindBuffer(GLenum target, GLuint buffer);

// Drops the least recently used of a list of kept geometry (records with
// vertexBuffer, triangleBuffer, edgeBuffer and lastUse) and its buffers.
template <typename Kept> void dropLeastRecentlyUsed(std::vector<Kept>& kept) {
    auto oldest = std::min_element(kept.begin(), kept.end(), [](const Kept& a, const Kept& b) {
        return a.lastUse < b.lastUse;
    });
    deleteBuffer(oldest->vertexBuffer);
    deleteBuffer(oldest->triangleBuffer);
    deleteBuffer(oldest->edgeBuffer);
    kept.erase(oldest);
}

// Forgets the program and everything remembered (a new context).
void forgetDrawingObjects();
