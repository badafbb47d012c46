// The layer's record of the OpenGL 1.1 state the demo uses, shared by the
// layer's files. Everything GL would answer a query with is kept here; the
// ES context holds only what it needs to draw.
#pragma once

#include <GLES2/gl2.h>
#include <cstdint>
#include <map>
#include <vector>

#include "matrix.h"

// OpenGL 1.1 values that OpenGL ES 2 does not name.
enum : GLenum {
    GL11_QUADS = 0x0007,
    GL11_QUAD_STRIP = 0x0008,
    GL11_MODELVIEW = 0x1700,
    GL11_PROJECTION = 0x1701,
    GL11_TEXTURE = 0x1702,
    GL11_LIGHTING = 0x0B50,
    GL11_LINE = 0x1B01,
    GL11_FILL = 0x1B02,
    GL11_CURRENT_COLOR = 0x0B00,
    GL11_MATRIX_MODE = 0x0BA0,
    GL11_POLYGON_MODE = 0x0B40,
    GL11_BLEND_SRC = 0x0BE1,
    GL11_BLEND_DST = 0x0BE0,
    GL11_TEXTURE_BINDING_2D = 0x8069,
    GL11_VERTEX_ARRAY = 0x8074,
    GL11_NORMAL_ARRAY = 0x8075,
    GL11_TEXTURE_COORD_ARRAY = 0x8078,
    GL11_MODELVIEW_MATRIX = 0x0BA6,
    GL11_PROJECTION_MATRIX = 0x0BA7,
    GL11_TEXTURE_MATRIX = 0x0BA8,
    GL11_TEXTURE_WIDTH = 0x1000,
    GL11_TEXTURE_HEIGHT = 0x1001,
    GL11_TEXTURE_INTERNAL_FORMAT = 0x1003,
    GL11_BGRA = 0x80E1,
    GL11_RGB8 = 0x8051,
    GL11_RGBA8 = 0x8058,
    GL11_LUMINANCE = 0x1909,
};

// Attribute groups of glPushAttrib and glPushClientAttrib.
enum : GLbitfield {
    GL11_CURRENT_BIT = 0x00000001,
    GL11_POLYGON_BIT = 0x00000008,
    GL11_LIGHTING_BIT = 0x00000040,
    GL11_DEPTH_BUFFER_BIT = 0x00000100,
    GL11_VIEWPORT_BIT = 0x00000800,
    GL11_TRANSFORM_BIT = 0x00001000,
    GL11_ENABLE_BIT = 0x00002000,
    GL11_COLOR_BUFFER_BIT = 0x00004000,
    GL11_SCISSOR_BIT = 0x00080000,
    GL11_TEXTURE_BIT = 0x00040000,
    GL11_CLIENT_PIXEL_STORE_BIT = 0x00000001,
    GL11_CLIENT_VERTEX_ARRAY_BIT = 0x00000002,
};

// One vertex as the shader takes it.
struct Vertex {
    float position[4];
    float colour[4];
    float texCoord[4];
};

struct ClientArray {
    bool enabled = false;
    int size = 0;
    int stride = 0;
    const void* pointer = nullptr;
};

// Server state that glPushAttrib saves (the groups the demo pushes).
struct AttribState {
    float colour[4] = {1, 1, 1, 1};      // current colour; GL_CURRENT_BIT
    float texCoord[4] = {0, 0, 0, 1};    // current texture coordinate; GL_CURRENT_BIT
    bool texture2d = false;              // GL_ENABLE_BIT, GL_TEXTURE_BIT
    bool blend = false;                  // GL_ENABLE_BIT, GL_COLOR_BUFFER_BIT
    bool depthTest = false;              // GL_ENABLE_BIT, GL_DEPTH_BUFFER_BIT
    bool scissorTest = false;            // GL_ENABLE_BIT, GL_SCISSOR_BIT
    bool lighting = false;               // GL_ENABLE_BIT, GL_LIGHTING_BIT; never on
    bool cullFace = false;               // GL_ENABLE_BIT, GL_POLYGON_BIT; never on
    GLenum blendSource = GL_ONE;         // GL_COLOR_BUFFER_BIT
    GLenum blendDestination = GL_ZERO;   // GL_COLOR_BUFFER_BIT
    float clearColour[4] = {0, 0, 0, 0}; // GL_COLOR_BUFFER_BIT
    int scissor[4] = {0, 0, 0, 0};       // GL_SCISSOR_BIT
    int viewport[4] = {0, 0, 0, 0};      // GL_VIEWPORT_BIT
    GLenum polygonMode = GL11_FILL;      // front and back alike; GL_POLYGON_BIT
    GLenum matrixMode = GL11_MODELVIEW;  // GL_TRANSFORM_BIT
    GLuint boundTexture = 0;             // GL_TEXTURE_BIT
};

// Client state that glPushClientAttrib saves.
struct ClientState {
    ClientArray vertices, normals, texCoords; // GL_CLIENT_VERTEX_ARRAY_BIT
    int packAlignment = 4;                    // GL_CLIENT_PIXEL_STORE_BIT
    int unpackAlignment = 4;                  // GL_CLIENT_PIXEL_STORE_BIT
};

struct TextureLevel {
    int width = 0;
    int height = 0;
    int internalFormat = 1; // as given to glTexImage2D
};

struct TextureRecord {
    std::vector<TextureLevel> levels;
    GLenum minFilter = GL_NEAREST_MIPMAP_LINEAR;
    GLenum wrapS = GL_REPEAT, wrapT = GL_REPEAT;
    bool saidBlack = false; // that WebGL 1 draws it black has been said
};

struct Gl11State {
    AttribState attrib;
    ClientState client;
    std::vector<std::pair<GLbitfield, AttribState>> attribStack;
    std::vector<std::pair<GLbitfield, ClientState>> clientStack;
    std::vector<Matrix> modelview{identityMatrix()}, projection{identityMatrix()},
        texture{identityMatrix()};
    std::map<GLuint, TextureRecord> textures;
    // Immediate mode: the primitive being built, or none.
    bool inBegin = false;
    GLenum beginMode = 0;
    std::vector<Vertex> begun;
};

Gl11State& gl11State();
// Says once per call and value that the layer does not handle it.
void reportUnsupported(const char* call, unsigned value);
