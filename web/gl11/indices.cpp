// Index lists for polygons and their edges.
#include "indices.h"

#include <initializer_list>

#include "state.h"

bool isPolygonMode(GLenum mode) {
    return mode == GL_TRIANGLES || mode == GL_TRIANGLE_STRIP || mode == GL11_QUADS ||
           mode == GL11_QUAD_STRIP;
}

static void addTriangle(std::vector<uint32_t>& out, uint32_t a, uint32_t b, uint32_t c) {
    out.insert(out.end(), {a, b, c});
}

// A quad a b c d as two triangles, split along the diagonal from b to d as
// GL's own rasteriser splits it.
static void addQuad(std::vector<uint32_t>& out, uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    out.insert(out.end(), {a, b, d, b, c, d});
}

// A polygon's sides as line pairs, each from a corner to the next, starting
// with the side that closes it (last corner to first), in the order GL's
// rasteriser draws them: where lines cross, the last one drawn shows.
static void addEdges(std::vector<uint32_t>& out, std::initializer_list<uint32_t> corners) {
    const uint32_t* corner = corners.begin();
    const size_t n = corners.size();
    for (size_t i = 0; i < n; i++)
        out.insert(out.end(), {corner[(i + n - 1) % n], corner[i]});
}

void appendPolygonIndices(std::vector<uint32_t>& out, GLenum mode, uint32_t count, bool edges) {
    switch (mode) {
    case GL_TRIANGLES:
        for (uint32_t i = 0; i + 2 < count; i += 3)
            edges ? addEdges(out, {i, i + 1, i + 2}) : addTriangle(out, i, i + 1, i + 2);
        break;
    case GL_TRIANGLE_STRIP:
        for (uint32_t i = 0; i + 2 < count; i++) {
            // Every other triangle turns the other way round, keeping the winding.
            const uint32_t a = i, b = i % 2 ? i + 2 : i + 1, c = i % 2 ? i + 1 : i + 2;
            edges ? addEdges(out, {a, b, c}) : addTriangle(out, a, b, c);
        }
        break;
    case GL11_QUADS:
        for (uint32_t i = 0; i + 3 < count; i += 4)
            edges ? addEdges(out, {i, i + 1, i + 2, i + 3}) : addQuad(out, i, i + 1, i + 2, i + 3);
        break;
    case GL11_QUAD_STRIP:
        for (uint32_t i = 0; i + 3 < count; i += 2)
            edges ? addEdges(out, {i, i + 1, i + 3, i + 2}) : addQuad(out, i, i + 1, i + 3, i + 2);
        break;
    }
}

size_t polygonIndexCount(GLenum mode, uint32_t count, bool edges) {
    switch (mode) {
    case GL_TRIANGLES:
        return count / 3 * (edges ? 6 : 3);
    case GL_TRIANGLE_STRIP:
        return count < 3 ? 0 : (count - 2) * (edges ? 6 : 3);
    case GL11_QUADS:
        return count / 4 * (edges ? 8 : 6);
    case GL11_QUAD_STRIP:
        return count < 4 ? 0 : (count - 2) / 2 * (edges ? 8 : 6);
    }
    return 0;
}

void appendTriangleEdges(std::vector<uint32_t>& out, const uint32_t* corners,
                         size_t triangleCount) {
    for (size_t t = 0; t < triangleCount; t++, corners += 3)
        addEdges(out, {corners[0], corners[1], corners[2]});
}
