// The vertex ring and the primitives' index lists.
#include "stream.h"

#include <algorithm>
#include <vector>

#include "draw.h"
#include "es.h"
#include "indices.h"
#include "state.h"

// Room for a frame's immediate-mode vertices many times over.
constexpr size_t ringStart = 256 * 1024;

struct Ring {
    GLuint buffer = 0;
    size_t size = 0; // bytes in the buffer's store
    size_t used = 0; // bytes written since the store was last new
};

// One index list per primitive and polygon mode, long enough for vertexCount.
struct IndexList {
    GLuint buffer = 0;
    uint32_t vertexCount = 0;
};

static Ring ring;
static IndexList lists[4][2]; // by primitive (triangles, strip, quads, quad strip), edges
static std::vector<uint32_t> building;

void forgetStreamBuffers() {
    ring = Ring();
    for (auto& modes : lists)
        for (IndexList& list : modes)
            list = IndexList();
}

Streamed streamVertices(const void* bytes, size_t size) {
    if (!ring.buffer) ring.buffer = newBuffer();
    bindBuffer(GL_ARRAY_BUFFER, ring.buffer);
    // Full: a new store of the same size (a larger one for a larger draw), so
    // nothing waits for draws still reading the old one.
    const size_t start = (ring.used + 15) / 16 * 16;
    if (!ring.size || start + size > ring.size) {
        while (ring.size < size || ring.size < ringStart)
            ring.size = ring.size ? ring.size * 2 : ringStart;
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(ring.size), nullptr, GL_STREAM_DRAW);
        ring.used = 0;
    } else {
        ring.used = start;
    }
    glBufferSubData(GL_ARRAY_BUFFER, GLintptr(ring.used), GLsizeiptr(size), bytes);
    const Streamed at{ring.buffer, ring.used};
    ring.used += size;
    return at;
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
