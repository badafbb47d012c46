// GLU's quadric sphere with the vertex and texture layout GLU gives it. Each
// size is built once into buffers and drawn from them after.
#include <algorithm>
#include <cmath>
#include <vector>

#include "draw.h"
#include "es.h"
#include "gl11.h"
#include "indices.h"
#include "state.h"

struct GLUquadric {
    bool textureCoords = false;
    unsigned normals = 0x186A2; // GLU_SMOOTH; nothing is lit, so normals are not drawn
};

GLUquadric* gl11uNewQuadric() {
    return new GLUquadric();
}

void gl11uDeleteQuadric(GLUquadric* quadric) {
    delete quadric;
}

void gl11uQuadricNormals(GLUquadric* quadric, unsigned normals) {
    if (quadric) quadric->normals = normals;
}

void gl11uQuadricTexture(GLUquadric* quadric, unsigned char textureCoords) {
    if (quadric) quadric->textureCoords = textureCoords != 0;
}

// One sphere in buffers: each vertex's position (3 floats) then its texture
// coordinate (2), and its faces as triangles and, once drawn so, as edges.
struct KeptSphere {
    double radius = 0.0;
    int slices = 0, stacks = 0;
    GLuint vertexBuffer = 0, triangleBuffer = 0, edgeBuffer = 0;
    int triangleIndices = 0, edgeIndices = 0;
    uint64_t lastUse = 0;
};

// More sizes than the demo draws; the one drawn longest ago makes room.
constexpr size_t keptSphereLimit = 8;
static std::vector<KeptSphere> keptSpheres;
static uint64_t sphereDraws = 0;

void forgetKeptSpheres() {
    keptSpheres.clear();
}

// Point i (0 .. slices) of ring (0 .. stacks, from +z), about the z axis: at
// the polar angle pi ring / stacks from +z and the azimuth 2 pi i / slices
// from +y towards +x. Texture s is 1 - i / slices, t is 1 - ring / stacks.
static void spherePoint(const KeptSphere& s, int i, int ring, float* out) {
    const double polar = M_PI * ring / s.stacks;
    const double azimuth = i == s.slices ? 0.0 : 2.0 * M_PI * i / s.slices;
    out[0] = float(s.radius * std::sin(polar) * std::sin(azimuth));
    out[1] = float(s.radius * std::sin(polar) * std::cos(azimuth));
    out[2] = float(s.radius * std::cos(polar));
    out[3] = float(1.0 - double(i) / s.slices);
    out[4] = float(1.0 - double(ring) / s.stacks);
}

// The sphere's faces as GLU draws them: band j of stacks is one quad strip
// taking, for slice i = 0 .. slices, the lower ring's point, then the upper
// ring's; the bands in order, from +z.
static std::vector<uint32_t> sphereIndices(const KeptSphere& s, bool edges) {
    const uint32_t stripLength = uint32_t(2 * (s.slices + 1));
    std::vector<uint32_t> band, out;
    appendPolygonIndices(band, GL11_QUAD_STRIP, stripLength, edges);
    out.reserve(band.size() * size_t(s.stacks));
    for (int j = 0; j < s.stacks; j++)
        for (uint32_t v : band) {
            // Strip vertex 2 i is point i of ring j + 1, 2 i + 1 point i of ring j.
            const uint32_t ring = uint32_t(j) + (v % 2 ? 0 : 1);
            out.push_back(ring * uint32_t(s.slices + 1) + v / 2);
        }
    return out;
}

static GLuint uploadIndices(const std::vector<uint32_t>& indices) {
    const GLuint buffer = newBuffer();
    bindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(uint32_t)),
                 indices.data(), GL_STATIC_DRAW);
    return buffer;
}

static KeptSphere& keptSphere(double radius, int slices, int stacks) {
    for (KeptSphere& s : keptSpheres)
        if (s.radius == radius && s.slices == slices && s.stacks == stacks) return s;
    if (keptSpheres.size() >= keptSphereLimit) {
        dropLeastRecentlyUsed(keptSpheres);
    }
    keptSpheres.push_back({radius, slices, stacks, 0, 0, 0, 0, 0, 0});
    KeptSphere& s = keptSpheres.back();
    std::vector<float> vertices(size_t(slices + 1) * size_t(stacks + 1) * 5);
    for (int ring = 0; ring <= stacks; ring++)
        for (int i = 0; i <= slices; i++)
            spherePoint(s, i, ring, &vertices[(size_t(ring) * size_t(slices + 1) + size_t(i)) * 5]);
    s.vertexBuffer = newBuffer();
    bindBuffer(GL_ARRAY_BUFFER, s.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(float)), vertices.data(),
                 GL_STATIC_DRAW);
    const std::vector<uint32_t> triangles = sphereIndices(s, false);
    s.triangleBuffer = uploadIndices(triangles);
    s.triangleIndices = int(triangles.size());
    return s;
}

void gl11uSphere(GLUquadric* quadric, double radius, int slices, int stacks) {
    if (!quadric || slices < 2 || stacks < 1 || radius < 0.0 || !readyToDraw()) return;
    KeptSphere& s = keptSphere(radius, slices, stacks);
    s.lastUse = ++sphereDraws;
    AttribState& a = gl11State().attrib;
    const bool edges = a.polygonMode == GL11_LINE;
    if (edges && !s.edgeBuffer) {
        const std::vector<uint32_t> sides = sphereIndices(s, true);
        s.edgeBuffer = uploadIndices(sides);
        s.edgeIndices = int(sides.size());
    }
    const int stride = 5 * sizeof(float);
    const AttributeSource texCoord =
        quadric->textureCoords
            ? AttributeSource{s.vertexBuffer, 2, stride, 3 * sizeof(float), nullptr}
            : AttributeSource{0, 4, 0, 0, a.texCoord};
    drawIndexed(edges ? GL_LINES : GL_TRIANGLES, edges ? s.edgeBuffer : s.triangleBuffer,
                edges ? s.edgeIndices : s.triangleIndices,
                {{s.vertexBuffer, 3, stride, 0, nullptr}, {0, 4, 0, 0, a.colour}, texCoord});
    // GLU leaves the current texture coordinate at the last point's: point
    // slices of ring stacks - 1.
    if (quadric->textureCoords) gl11TexCoord2f(0.0f, float(1.0 - double(stacks - 1) / stacks));
}
