// Drawing: one small GLSL ES 1.00 program does GL 1.1's unlit, fixed
// pipeline with the texture environment GL_MODULATE. Immediate mode and the
// vertex arrays both end in buffers drawn as triangles, or as the polygons'
// edges in polygon mode GL_LINE.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "gl11.h"
#include "state.h"

static const char* vertexShader = R"(
attribute vec4 position;
attribute vec4 colour;
attribute vec4 texCoord;
uniform mat4 transform;
uniform mat4 textureMatrix;
varying vec4 vColour;
varying vec4 vTexCoord;
void main() {
    gl_Position = transform * position;
    vColour = clamp(colour, 0.0, 1.0);
    vTexCoord = textureMatrix * texCoord;
}
)";

// texture2DProj divides by q, as GL does with the texture matrix's output.
static const char* fragmentShader = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D picture;
uniform bool textured;
varying vec4 vColour;
varying vec4 vTexCoord;
void main() {
    vec4 colour = vColour;
    if (textured) colour *= texture2DProj(picture, vTexCoord);
    gl_FragColor = colour;
}
)";

enum Attribute : GLuint { positionAttribute = 0, colourAttribute = 1, texCoordAttribute = 2 };

struct DrawingObjects {
    GLuint program = 0;
    GLint transform = -1, textureMatrix = -1, textured = -1;
    GLuint vertexBuffer = 0, indexBuffer = 0;
    bool failed = false; // the program did not build: nothing is drawn
};

static DrawingObjects objects;

void forgetDrawingObjects() {
    objects = DrawingObjects();
}

static GLuint compile(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "gl11: a shader does not compile: %s\n", log);
    }
    return shader;
}

// The program and buffers, made in the current context on first use.
static bool readyToDraw() {
    if (objects.program) return true;
    if (objects.failed) return false;
    const GLuint program = glCreateProgram();
    const GLuint vertex = compile(GL_VERTEX_SHADER, vertexShader);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentShader);
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, positionAttribute, "position");
    glBindAttribLocation(program, colourAttribute, "colour");
    glBindAttribLocation(program, texCoordAttribute, "texCoord");
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        std::fprintf(stderr, "gl11: the drawing program does not link\n");
        glDeleteProgram(program);
        objects.failed = true;
        return false;
    }
    objects.program = program;
    objects.transform = glGetUniformLocation(program, "transform");
    objects.textureMatrix = glGetUniformLocation(program, "textureMatrix");
    objects.textured = glGetUniformLocation(program, "textured");
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "picture"), 0);
    glGenBuffers(1, &objects.vertexBuffer);
    glGenBuffers(1, &objects.indexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, objects.vertexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, objects.indexBuffer);
    glEnableVertexAttribArray(positionAttribute);
    return true;
}

// The matrices and the texture switch of the state as it stands.
static void setUniforms() {
    const Gl11State& state = gl11State();
    const Matrix transform = multiply(state.projection.back(), state.modelview.back());
    glUniformMatrix4fv(objects.transform, 1, GL_FALSE, transform.data());
    glUniformMatrix4fv(objects.textureMatrix, 1, GL_FALSE, state.texture.back().data());
    glUniform1i(objects.textured, state.attrib.texture2d && boundTextureComplete());
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

// The corners of mode's polygons over count vertices, as triangles (or, for
// edges, as line pairs round each polygon: a quad's diagonal is no edge).
static std::vector<uint32_t> polygonIndices(GLenum mode, uint32_t count, bool edges) {
    std::vector<uint32_t> out;
    switch (mode) {
    case GL_TRIANGLES:
        for (uint32_t i = 0; i + 2 < count; i += 3)
            if (edges)
                addEdges(out, {i, i + 1, i + 2});
            else
                out.insert(out.end(), {i, i + 1, i + 2});
        break;
    case GL_TRIANGLE_STRIP:
        for (uint32_t i = 0; i + 2 < count; i++) {
            // Every other triangle turns the other way round, keeping the winding.
            const uint32_t a = i, b = i % 2 ? i + 2 : i + 1, c = i % 2 ? i + 1 : i + 2;
            if (edges)
                addEdges(out, {a, b, c});
            else
                out.insert(out.end(), {a, b, c});
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
    return out;
}

static bool isPolygonMode(GLenum mode) {
    return mode == GL_TRIANGLES || mode == GL_TRIANGLE_STRIP || mode == GL11_QUADS ||
           mode == GL11_QUAD_STRIP;
}

void drawPrimitives(GLenum mode, const std::vector<Vertex>& vertices) {
    if (vertices.empty() || !readyToDraw()) return;
    const bool edges = gl11State().attrib.polygonMode == GL11_LINE;
    const std::vector<uint32_t> indices = polygonIndices(mode, uint32_t(vertices.size()), edges);
    if (indices.empty()) return;
    setUniforms();
    glBindBuffer(GL_ARRAY_BUFFER, objects.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(Vertex)), vertices.data(),
                 GL_STREAM_DRAW);
    glVertexAttribPointer(positionAttribute, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          (const void*)offsetof(Vertex, position));
    glEnableVertexAttribArray(colourAttribute);
    glVertexAttribPointer(colourAttribute, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          (const void*)offsetof(Vertex, colour));
    glEnableVertexAttribArray(texCoordAttribute);
    glVertexAttribPointer(texCoordAttribute, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          (const void*)offsetof(Vertex, texCoord));
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(uint32_t)),
                 indices.data(), GL_STREAM_DRAW);
    glDrawElements(edges ? GL_LINES : GL_TRIANGLES, GLsizei(indices.size()), GL_UNSIGNED_INT,
                   nullptr);
}

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
    drawPrimitives(state.beginMode, state.begun);
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

// The client array array names, or null.
static ClientArray* clientArray(GLenum array) {
    ClientState& client = gl11State().client;
    switch (array) {
    case GL11_VERTEX_ARRAY:
        return &client.vertices;
    case GL11_NORMAL_ARRAY:
        return &client.normals;
    case GL11_TEXTURE_COORD_ARRAY:
        return &client.texCoords;
    }
    return nullptr;
}

void gl11EnableClientState(unsigned array) {
    ClientArray* a = clientArray(array);
    if (!a) return reportUnsupported("glEnableClientState", array);
    a->enabled = true;
}

void gl11DisableClientState(unsigned array) {
    ClientArray* a = clientArray(array);
    if (!a) return reportUnsupported("glDisableClientState", array);
    a->enabled = false;
}

static void setPointer(const char* call, ClientArray& array, int size, unsigned type, int stride,
                       const void* pointer) {
    if (type != GL_FLOAT) return reportUnsupported(call, type);
    if (size < 1 || size > 4 || stride < 0) return reportUnsupported(call, unsigned(size));
    array.size = size;
    array.stride = stride;
    array.pointer = pointer;
}

void gl11VertexPointer(int size, unsigned type, int stride, const void* pointer) {
    if (size < 2) return reportUnsupported("glVertexPointer", unsigned(size));
    setPointer("glVertexPointer", gl11State().client.vertices, size, type, stride, pointer);
}

void gl11NormalPointer(unsigned type, int stride, const void* pointer) {
    setPointer("glNormalPointer", gl11State().client.normals, 3, type, stride, pointer);
}

void gl11TexCoordPointer(int size, unsigned type, int stride, const void* pointer) {
    setPointer("glTexCoordPointer", gl11State().client.texCoords, size, type, stride, pointer);
}

// The largest of count indices of type.
template <typename Index> static uint32_t largestIndex(const void* indices, int count) {
    const Index* i = static_cast<const Index*>(indices);
    return count > 0 ? uint32_t(*std::max_element(i, i + count)) : 0;
}

// Bytes an array of vertexCount entries occupies.
static size_t arrayBytes(const ClientArray& array, uint32_t vertexCount) {
    const size_t element = size_t(array.size) * sizeof(float);
    const size_t stride = array.stride ? size_t(array.stride) : element;
    return size_t(vertexCount - 1) * stride + element;
}

void gl11DrawElements(unsigned mode, int count, unsigned type, const void* indices) {
    if (mode != GL_TRIANGLES) return reportUnsupported("glDrawElements", mode);
    if (type != GL_UNSIGNED_INT && type != GL_UNSIGNED_SHORT && type != GL_UNSIGNED_BYTE)
        return reportUnsupported("glDrawElements", type);
    const ClientState& client = gl11State().client;
    count -= count % 3;
    if (count <= 0 || !client.vertices.enabled || !client.vertices.pointer || !readyToDraw())
        return;
    const uint32_t vertexCount =
        1 + (type == GL_UNSIGNED_INT     ? largestIndex<uint32_t>(indices, count)
             : type == GL_UNSIGNED_SHORT ? largestIndex<uint16_t>(indices, count)
                                         : largestIndex<uint8_t>(indices, count));
    setUniforms();

    // The arrays go into the buffer one after the other, strides kept.
    const ClientArray& positions = client.vertices;
    const bool texturing = client.texCoords.enabled && client.texCoords.pointer;
    const size_t positionBytes = arrayBytes(positions, vertexCount);
    const size_t texCoordBytes = texturing ? arrayBytes(client.texCoords, vertexCount) : 0;
    glBindBuffer(GL_ARRAY_BUFFER, objects.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(positionBytes + texCoordBytes), nullptr,
                 GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(positionBytes), positions.pointer);
    glVertexAttribPointer(positionAttribute, positions.size, GL_FLOAT, GL_FALSE, positions.stride,
                          nullptr);
    const AttribState& a = gl11State().attrib;
    if (texturing) {
        glBufferSubData(GL_ARRAY_BUFFER, GLintptr(positionBytes), GLsizeiptr(texCoordBytes),
                        client.texCoords.pointer);
        glEnableVertexAttribArray(texCoordAttribute);
        glVertexAttribPointer(texCoordAttribute, client.texCoords.size, GL_FLOAT, GL_FALSE,
                              client.texCoords.stride, (const void*)positionBytes);
    } else {
        glDisableVertexAttribArray(texCoordAttribute);
        glVertexAttrib4fv(texCoordAttribute, a.texCoord);
    }
    // No colour array: every vertex has the current colour.
    glDisableVertexAttribArray(colourAttribute);
    glVertexAttrib4fv(colourAttribute, a.colour);

    // Indices as 32-bit numbers; for edges, each triangle's three sides.
    std::vector<uint32_t> list(static_cast<size_t>(count));
    for (int i = 0; i < count; i++)
        list[size_t(i)] = type == GL_UNSIGNED_INT     ? static_cast<const uint32_t*>(indices)[i]
                          : type == GL_UNSIGNED_SHORT ? static_cast<const uint16_t*>(indices)[i]
                                                      : static_cast<const uint8_t*>(indices)[i];
    const bool edges = a.polygonMode == GL11_LINE;
    if (edges) {
        std::vector<uint32_t> sides;
        sides.reserve(list.size() * 2);
        for (size_t t = 0; t + 2 < list.size(); t += 3)
            addEdges(sides, {list[t], list[t + 1], list[t + 2]});
        list.swap(sides);
    }
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(list.size() * sizeof(uint32_t)), list.data(),
                 GL_STREAM_DRAW);
    glDrawElements(edges ? GL_LINES : GL_TRIANGLES, GLsizei(list.size()), GL_UNSIGNED_INT, nullptr);
}
