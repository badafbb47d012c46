// The index lists that draw GL 1.1's polygon primitives with ES's triangles,
// or their edges with ES's lines in polygon mode GL_LINE.
#pragma once

#include <GLES2/gl2.h>
#include <cstddef>
#include <cstdint>
#include <vector>

// Whether mode is a primitive the layer draws (GL_TRIANGLES,
// GL_TRIANGLE_STRIP, GL_QUADS, GL_QUAD_STRIP).
bool isPolygonMode(GLenum mode);
// Appends the corners of mode's polygons over vertices 0 .. count - 1 as
// triangles, or for edges as line pairs round each polygon (a quad's
// diagonal is no edge). The list for fewer vertices is a start of the list
// for more.
void appendPolygonIndices(std::vector<uint32_t>& out, GLenum mode, uint32_t count, bool edges);
// How many indices appendPolygonIndices appends.
size_t polygonIndexCount(GLenum mode, uint32_t count, bool edges);
// Appends the sides of triangleCount triangles (three corners each) as line pairs.
void appendTriangleEdges(std::vector<uint32_t>& out, const uint32_t* corners, size_t triangleCount);
