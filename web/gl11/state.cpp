// The layer's state record: capabilities, queries, attribute stacks, the
// framebuffer operations, pixel transfer.
#include <algorithm>
#include <cstdio>
#include <set>
#include <utility>

#include "es.h"
#include "gl11.h"
#include "state.h"

Gl11State& gl11State() {
    static Gl11State state;
    return state;
}

void reportUnsupported(const char* call, unsigned value) {
    static std::set<std::pair<const char*, unsigned>> reported;
    if (!reported.insert({call, value}).second) return;
    std::fprintf(stderr, "gl11: %s(0x%04X) is not supported; ignored\n", call, value);
}

// The capability's flag in the record, or null for one the layer does not handle.
static bool* capability(AttribState& attrib, GLenum cap) {
    switch (cap) {
    case GL_TEXTURE_2D:
        return &attrib.texture2d;
    case GL_BLEND:
        return &attrib.blend;
    case GL_DEPTH_TEST:
        return &attrib.depthTest;
    case GL_SCISSOR_TEST:
        return &attrib.scissorTest;
    case GL11_LIGHTING:
        return &attrib.lighting;
    case GL_CULL_FACE:
        return &attrib.cullFace;
    }
    return nullptr;
}

// Sets a capability in the record and, for those the ES context draws
// with, there. Lighting and culling can only be off: the demo never turns
// them on, and the layer draws neither.
static void setCapability(GLenum cap, bool on) {
    bool* flag = capability(gl11State().attrib, cap);
    if (!flag || (on && (cap == GL11_LIGHTING || cap == GL_CULL_FACE))) {
        reportUnsupported(on ? "glEnable" : "glDisable", cap);
        return;
    }
    const bool was = *flag;
    *flag = on;
    // The context holds what the record held: a call that changes nothing is not sent.
    if (was != on && (cap == GL_BLEND || cap == GL_DEPTH_TEST || cap == GL_SCISSOR_TEST))
        on ? glEnable(cap) : glDisable(cap);
}

void gl11Enable(unsigned cap) {
    setCapability(cap, true);
}

void gl11Disable(unsigned cap) {
    setCapability(cap, false);
}

unsigned char gl11IsEnabled(unsigned cap) {
    if (cap == GL11_VERTEX_ARRAY) return gl11State().client.vertices.enabled;
    if (cap == GL11_NORMAL_ARRAY) return gl11State().client.normals.enabled;
    if (cap == GL11_TEXTURE_COORD_ARRAY) return gl11State().client.texCoords.enabled;
    const bool* flag = capability(gl11State().attrib, cap);
    if (!flag) reportUnsupported("glIsEnabled", cap);
    return flag && *flag;
}

// Answers a query into up to 16 floats; false for a name the layer does not know.
static bool query(GLenum name, float* out) {
    const Gl11State& state = gl11State();
    const AttribState& a = state.attrib;
    auto copy = [out](const auto* from, int n) {
        for (int i = 0; i < n; i++)
            out[i] = float(from[i]);
        return true;
    };
    switch (name) {
    case GL_VIEWPORT:
        return copy(a.viewport, 4);
    case GL_SCISSOR_BOX:
        return copy(a.scissor, 4);
    case GL_COLOR_CLEAR_VALUE:
        return copy(a.clearColour, 4);
    case GL11_CURRENT_COLOR:
        return copy(a.colour, 4);
    case GL11_BLEND_SRC:
        out[0] = float(a.blendSource);
        return true;
    case GL11_BLEND_DST:
        out[0] = float(a.blendDestination);
        return true;
    case GL11_MATRIX_MODE:
        out[0] = float(a.matrixMode);
        return true;
    case GL11_POLYGON_MODE:
        out[0] = out[1] = float(a.polygonMode);
        return true;
    case GL11_TEXTURE_BINDING_2D:
        out[0] = float(a.boundTexture);
        return true;
    case GL_PACK_ALIGNMENT:
        out[0] = float(state.client.packAlignment);
        return true;
    case GL_UNPACK_ALIGNMENT:
        out[0] = float(state.client.unpackAlignment);
        return true;
    }
    return false;
}

// Limits of the context itself.
static bool isContextLimit(GLenum name) {
    return name == GL_MAX_TEXTURE_SIZE || name == GL_MAX_VIEWPORT_DIMS;
}

void gl11GetIntegerv(unsigned name, int* values) {
    if (isContextLimit(name)) return glGetIntegerv(name, values);
    float answer[16];
    if (!query(name, answer)) return reportUnsupported("glGetIntegerv", name);
    const int count = name == GL_VIEWPORT || name == GL_SCISSOR_BOX ? 4
                      : name == GL11_POLYGON_MODE                   ? 2
                                                                    : 1;
    // Colours come back scaled to the whole integer range, as GL gives them.
    if (name == GL_COLOR_CLEAR_VALUE || name == GL11_CURRENT_COLOR) {
        for (int i = 0; i < 4; i++) {
            const double c = answer[i] < 0 ? 0.0 : answer[i] > 1 ? 1.0 : answer[i];
            values[i] = int(c * 2147483647.0);
        }
        return;
    }
    for (int i = 0; i < count; i++)
        values[i] = int(answer[i]);
}

void gl11GetFloatv(unsigned name, float* values) {
    if (isContextLimit(name)) {
        int limits[2] = {};
        glGetIntegerv(name, limits);
        values[0] = float(limits[0]);
        if (name == GL_MAX_VIEWPORT_DIMS) values[1] = float(limits[1]);
        return;
    }
    // The top of a matrix stack, as loaded or multiplied (column by column).
    Gl11State& state = gl11State();
    const std::vector<Matrix>* stack = name == GL11_MODELVIEW_MATRIX    ? &state.modelview
                                       : name == GL11_PROJECTION_MATRIX ? &state.projection
                                       : name == GL11_TEXTURE_MATRIX    ? &state.texture
                                                                        : nullptr;
    if (stack) {
        std::copy(stack->back().begin(), stack->back().end(), values);
        return;
    }
    float answer[16];
    if (!query(name, answer)) return reportUnsupported("glGetFloatv", name);
    const int count = name == GL_VIEWPORT || name == GL_SCISSOR_BOX ||
                              name == GL_COLOR_CLEAR_VALUE || name == GL11_CURRENT_COLOR
                          ? 4
                      : name == GL11_POLYGON_MODE ? 2
                                                  : 1;
    for (int i = 0; i < count; i++)
        values[i] = answer[i];
}

static bool isBlendFactor(GLenum factor) {
    switch (factor) {
    case GL_ZERO:
    case GL_ONE:
    case GL_SRC_COLOR:
    case GL_ONE_MINUS_SRC_COLOR:
    case GL_SRC_ALPHA:
    case GL_ONE_MINUS_SRC_ALPHA:
    case GL_DST_ALPHA:
    case GL_ONE_MINUS_DST_ALPHA:
    case GL_DST_COLOR:
    case GL_ONE_MINUS_DST_COLOR:
    case GL_SRC_ALPHA_SATURATE:
        return true;
    }
    return false;
}

void gl11BlendFunc(unsigned source, unsigned destination) {
    if (!isBlendFactor(source)) return reportUnsupported("glBlendFunc", source);
    if (!isBlendFactor(destination)) return reportUnsupported("glBlendFunc", destination);
    AttribState& a = gl11State().attrib;
    if (a.blendSource == source && a.blendDestination == destination) return;
    a.blendSource = source;
    a.blendDestination = destination;
    glBlendFunc(source, destination);
}

void gl11Clear(unsigned mask) {
    const GLbitfield known = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;
    if (mask & ~known) reportUnsupported("glClear", mask);
    glClear(mask & known);
}

void gl11ClearColor(float r, float g, float b, float a) {
    float* c = gl11State().attrib.clearColour;
    if (c[0] == r && c[1] == g && c[2] == b && c[3] == a) return;
    c[0] = r, c[1] = g, c[2] = b, c[3] = a;
    glClearColor(r, g, b, a);
}

void gl11Viewport(int x, int y, int width, int height) {
    if (width < 0 || height < 0) return reportUnsupported("glViewport", unsigned(width));
    int* v = gl11State().attrib.viewport;
    if (v[0] == x && v[1] == y && v[2] == width && v[3] == height) return;
    v[0] = x, v[1] = y, v[2] = width, v[3] = height;
    glViewport(x, y, width, height);
}

void gl11Scissor(int x, int y, int width, int height) {
    if (width < 0 || height < 0) return reportUnsupported("glScissor", unsigned(width));
    int* s = gl11State().attrib.scissor;
    if (s[0] == x && s[1] == y && s[2] == width && s[3] == height) return;
    s[0] = x, s[1] = y, s[2] = width, s[3] = height;
    glScissor(x, y, width, height);
}

void gl11PolygonMode(unsigned face, unsigned mode) {
    // The demo sets both faces at once, and culling is never on.
    if (face != GL_FRONT_AND_BACK) return reportUnsupported("glPolygonMode", face);
    if (mode != GL11_LINE && mode != GL11_FILL) return reportUnsupported("glPolygonMode", mode);
    gl11State().attrib.polygonMode = mode;
}

void gl11Flush() {
    glFlush();
}

// Gives the ES context what a pop changed. Every call that changes one of
// these sets it in the record and the context alike, so before the pop the
// context held what the record held: only what differs from that is sent.
static void applyToContext(const AttribState& was, const ClientState& wasClient) {
    const AttribState& a = gl11State().attrib;
    auto same = [](const auto& x, const auto& y) { return std::equal(x, x + 4, y); };
    if (a.blend != was.blend) a.blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    if (a.depthTest != was.depthTest)
        a.depthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    if (a.scissorTest != was.scissorTest)
        a.scissorTest ? glEnable(GL_SCISSOR_TEST) : glDisable(GL_SCISSOR_TEST);
    if (a.blendSource != was.blendSource || a.blendDestination != was.blendDestination)
        glBlendFunc(a.blendSource, a.blendDestination);
    if (!same(a.clearColour, was.clearColour))
        glClearColor(a.clearColour[0], a.clearColour[1], a.clearColour[2], a.clearColour[3]);
    if (!same(a.scissor, was.scissor))
        glScissor(a.scissor[0], a.scissor[1], a.scissor[2], a.scissor[3]);
    if (!same(a.viewport, was.viewport))
        glViewport(a.viewport[0], a.viewport[1], a.viewport[2], a.viewport[3]);
    if (a.boundTexture != was.boundTexture) glBindTexture(GL_TEXTURE_2D, a.boundTexture);
    const ClientState& c = gl11State().client;
    if (c.packAlignment != wasClient.packAlignment)
        glPixelStorei(GL_PACK_ALIGNMENT, c.packAlignment);
    if (c.unpackAlignment != wasClient.unpackAlignment)
        glPixelStorei(GL_UNPACK_ALIGNMENT, c.unpackAlignment);
}

// GL's stacks hold at least 16 attribute groups.
constexpr size_t attribStackDepth = 16;

void gl11PushAttrib(unsigned mask) {
    Gl11State& state = gl11State();
    if (state.attribStack.size() >= attribStackDepth)
        return reportUnsupported("glPushAttrib", mask);
    state.attribStack.push_back({mask, state.attrib});
}

void gl11PopAttrib() {
    Gl11State& state = gl11State();
    if (state.attribStack.empty()) return reportUnsupported("glPopAttrib", 0);
    const GLbitfield mask = state.attribStack.back().first;
    const AttribState saved = state.attribStack.back().second;
    state.attribStack.pop_back();
    AttribState& a = state.attrib;
    const AttribState was = a;
    if (mask & GL11_CURRENT_BIT) {
        std::copy(saved.colour, saved.colour + 4, a.colour);
        std::copy(saved.texCoord, saved.texCoord + 4, a.texCoord);
    }
    if (mask & GL11_ENABLE_BIT) {
        a.texture2d = saved.texture2d, a.blend = saved.blend, a.depthTest = saved.depthTest;
        a.scissorTest = saved.scissorTest, a.lighting = saved.lighting;
        a.cullFace = saved.cullFace;
    }
    if (mask & GL11_COLOR_BUFFER_BIT) {
        a.blend = saved.blend;
        a.blendSource = saved.blendSource, a.blendDestination = saved.blendDestination;
        std::copy(saved.clearColour, saved.clearColour + 4, a.clearColour);
    }
    if (mask & GL11_DEPTH_BUFFER_BIT) a.depthTest = saved.depthTest;
    if (mask & GL11_SCISSOR_BIT) {
        a.scissorTest = saved.scissorTest;
        std::copy(saved.scissor, saved.scissor + 4, a.scissor);
    }
    if (mask & GL11_VIEWPORT_BIT) std::copy(saved.viewport, saved.viewport + 4, a.viewport);
    if (mask & GL11_POLYGON_BIT) a.polygonMode = saved.polygonMode, a.cullFace = saved.cullFace;
    if (mask & GL11_LIGHTING_BIT) a.lighting = saved.lighting;
    if (mask & GL11_TRANSFORM_BIT) a.matrixMode = saved.matrixMode;
    if (mask & GL11_TEXTURE_BIT) a.texture2d = saved.texture2d, a.boundTexture = saved.boundTexture;
    applyToContext(was, state.client);
}

void gl11PushClientAttrib(unsigned mask) {
    Gl11State& state = gl11State();
    if (state.clientStack.size() >= attribStackDepth)
        return reportUnsupported("glPushClientAttrib", mask);
    state.clientStack.push_back({mask, state.client});
}

void gl11PopClientAttrib() {
    Gl11State& state = gl11State();
    if (state.clientStack.empty()) return reportUnsupported("glPopClientAttrib", 0);
    const GLbitfield mask = state.clientStack.back().first;
    const ClientState saved = state.clientStack.back().second;
    state.clientStack.pop_back();
    ClientState& c = state.client;
    const ClientState was = c;
    if (mask & GL11_CLIENT_VERTEX_ARRAY_BIT) {
        c.vertices = saved.vertices, c.normals = saved.normals, c.texCoords = saved.texCoords;
    }
    if (mask & GL11_CLIENT_PIXEL_STORE_BIT) {
        c.packAlignment = saved.packAlignment, c.unpackAlignment = saved.unpackAlignment;
    }
    applyToContext(state.attrib, was);
}

void gl11PixelStorei(unsigned name, int value) {
    if (name != GL_PACK_ALIGNMENT && name != GL_UNPACK_ALIGNMENT)
        return reportUnsupported("glPixelStorei", name);
    if (value != 1 && value != 2 && value != 4 && value != 8)
        return reportUnsupported("glPixelStorei", unsigned(value));
    ClientState& c = gl11State().client;
    (name == GL_PACK_ALIGNMENT ? c.packAlignment : c.unpackAlignment) = value;
    glPixelStorei(name, value);
}

void gl11ReadPixels(int x, int y, int width, int height, unsigned format, unsigned type,
                    void* pixels) {
    if (type != GL_UNSIGNED_BYTE) return reportUnsupported("glReadPixels", type);
    if (format != GL_RGBA && format != GL11_BGRA) return reportUnsupported("glReadPixels", format);
    if (width <= 0 || height <= 0) return;
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    if (format != GL11_BGRA) return;
    // ES reads RGBA only: red and blue change places, row by padded row.
    const int alignment = gl11State().client.packAlignment;
    const size_t row =
        (size_t(width) * 4 + size_t(alignment) - 1) / size_t(alignment) * size_t(alignment);
    for (int r = 0; r < height; r++) {
        uint8_t* p = static_cast<uint8_t*>(pixels) + size_t(r) * row;
        for (int i = 0; i < width; i++, p += 4)
            std::swap(p[0], p[2]);
    }
}
