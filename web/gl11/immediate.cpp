// Immediate mode: glBegin to glEnd gathers vertices with the current colour
// and texture coordinate, then draws them from the vertex ring.
#include <algorithm>
#include <cstddef>

#include "draw.h"
#include "gl11.h"
#include "indices.h"
#include "state.h"
#include "stream.h"

void gl11Begin(unsigned mode) {
    Gl11State& state = gl11State();
    if (state.inBegin) return reportUnsupported("glBegin inside glBegin", mode);
    if (!isPolygonMode(mode)) return reportUnsupported("glBegin", mode);
    state.inBegin = true;
    state.beginMode = mode;
    state.begun.clear();
}

void gl11End() {
    Gl11State& state = gl11State();
    if (!state.inBegin) return reportUnsupported("glEnd without glBegin", 0);
    state.inBegin = false;
    const bool edges = state.attrib.polygonMode == GL11_LINE;
    const uint32_t vertexCount = uint32_t(state.begun.size());
    const size_t indexCount = polygonIndexCount(state.beginMode, vertexCount, edges);
    if (indexCount == 0 || !readyToDraw()) return;
    const GLuint indices = polygonIndexBuffer(state.beginMode, edges, vertexCount);
    const Streamed at = streamVertices(state.begun.data(), vertexCount * sizeof(Vertex));
    auto field = [&](size_t offset) {
        return AttributeSource{at.buffer, 4, int(sizeof(Vertex)), at.offset + offset, nullptr};
    };
    drawIndexed(edges ? GL_LINES : GL_TRIANGLES, indices, int(indexCount),
                {field(offsetof(Vertex, position)), field(offsetof(Vertex, colour)),
                 field(offsetof(Vertex, texCoord))});
}

void gl11Vertex3f(float x, float y, float z) {
    Gl11State& state = gl11State();
    if (!state.inBegin) return; // GL ignores a vertex outside glBegin/glEnd
    Vertex v{{x, y, z, 1.0f}, {}, {}};
    std::copy(state.attrib.colour, state.attrib.colour + 4, v.colour);
    std::copy(state.attrib.texCoord, state.attrib.texCoord + 4, v.texCoord);
    state.begun.push_back(v);
}

void gl11TexCoord2f(float s, float t) {
    float* c = gl11State().attrib.texCoord;
    c[0] = s, c[1] = t, c[2] = 0.0f, c[3] = 1.0f;
}

void gl11Color4f(float r, float g, float b, float a) {
    float* c = gl11State().attrib.colour;
    c[0] = r, c[1] = g, c[2] = b, c[3] = a;
}
