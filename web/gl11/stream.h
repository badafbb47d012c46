// Buffers for geometry given afresh on every call (immediate mode): one vertex
// buffer given a new store each draw, and per primitive one index list that grows to the most
// vertices drawn with it, since the list for fewer vertices is a start of it.
#pragma once

#include <GLES2/gl2.h>
#include <cstddef>
#include <cstdint>

// Copies bytes into the ring; the buffer and the offset they are at.
struct Streamed {
    GLuint buffer = 0;
    size_t offset = 0;
};
Streamed streamVertices(const void* bytes, size_t size);

// The buffer of mode's polygon indices (or edges) for at least vertexCount vertices.
GLuint polygonIndexBuffer(GLenum mode, bool edges, uint32_t vertexCount);

// Forgets the buffers (a new context).
void forgetStreamBuffers();
