// The vertex stream and the primitives' index lists.
#include "stream.h"

#include <algorithm>
#include <vector>

#include "draw.h"
#include "es.h"
#include "indices.h"
#include "state.h"

// Room for the largest immediate-mode draw.
constexpr size_t streamStart = 4 * 1024;

struct VertexStream {
    GLuint buffer = 0;
    size_t size = 0; // bytes in the buffer's store
};

// One index list per primitive and polygon mode, long enough for vertexCount.
struct IndexList {
    GLuint buffer = 0;
    uint32_t vertexCount = 0;
};

static VertexStream stream;
static IndexList lists[4][2]; // by primitive (triangles, strip, quads, quad strip), edges
static std::vector<uint32_t> building;

void forgetStreamBuffers() {
    stream = VertexStream();
    for (auto& modes : lists)
        for (IndexList& list : modes)
            list = IndexList();
}

Streamed streamVertices(const void* bytes, size_t size) {
    if (!stream.buffer) stream.buffer = newBuffer();
    bindBuffer(GL_ARRAY_BUFFER, stream.buffer);
    // Every draw gets a new store of the same size (larger for a larger
    // draw), so writing never waits for a draw still reading the old one, as
    // a driver drawing on the CPU would make it; and the vertices always
    // start at 0, so the attributes need not be pointed again.
    while (stream.size < size)
        stream.size = stream.size ? stream.size * 2 : streamStart;
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(stream.size), nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(size), bytes);
    return Streamed{stream.buffer, 0};
}

static size_t primitiveSlot(GLenum mode) {
    return mode == GL_TRIANGLES ? 0 : mode == GL_TRIANGLE_STRIP ? 1 : mode == GL11_QUADS ? 2 : 3;
}

GLuint polygonIndexBuffer(GLenum mode, bool edges, uint32_t vertexCount) {
    IndexList& list = lists[primitiveSlot(mode)][edges];
    if (list.buffer && list.vertexCount >= vertexCount) return list.buffer;
    if (!list.buffer) list.buffer = newBuffer();
    // Grows by at least half, so a rising count is rebuilt only a few times.
    list.vertexCount = std::max(vertexCount, list.vertexCount + list.vertexCount / 2);
    building.clear();
    appendPolygonIndices(building, mode, list.vertexCount, edges);
    bindBuffer(GL_ELEMENT_ARRAY_BUFFER, list.buffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(building.size() * sizeof(uint32_t)),
                 building.data(), GL_STATIC_DRAW);
    return list.buffer;
}
