// Vertex arrays and glDrawElements. A model the caller draws again and again
// from the same arrays is uploaded once and kept in buffers with a copy of
// what was uploaded; each draw compares the caller's arrays with the copy
// (far cheaper than uploading them) and uploads only what changed, so a mesh
// rewritten in place every frame streams its positions and nothing else.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "draw.h"
#include "es.h"
#include "gl11.h"
#include "indices.h"
#include "state.h"

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

// One model in buffers, and the call it answers.
struct KeptModel {
    const void* indices = nullptr;
    GLenum type = 0;
    int count = 0;
    ClientArray positions, texCoords; // texCoords.pointer null: no texture coordinate array
    std::vector<uint32_t> corners;    // the indices as uploaded, 32-bit
    std::vector<uint8_t> positionBytes, texCoordBytes; // the arrays as uploaded
    uint32_t vertexCount = 0;
    GLuint vertexBuffer = 0, triangleBuffer = 0, edgeBuffer = 0; // edges made when first drawn
    uint64_t lastUse = 0;
};

// More models than the demo draws; the one drawn longest ago makes room.
constexpr size_t keptModelLimit = 32;
static std::vector<KeptModel> keptModels;
static uint64_t drawCount = 0;
static std::vector<uint32_t> edgeList; // reused to build edges

void forgetKeptModels() {
    keptModels.clear();
}

static bool sameArray(const ClientArray& a, const ClientArray& b) {
    return a.pointer == b.pointer && a.size == b.size && a.stride == b.stride;
}

// The kept model for this call: the one made for the same arrays, or a new one.
static KeptModel& keptModelFor(const void* indices, GLenum type, int count,
                               const ClientArray& positions, const ClientArray& texCoords) {
    for (KeptModel& model : keptModels)
        if (model.indices == indices && model.type == type && model.count == count &&
            sameArray(model.positions, positions) && sameArray(model.texCoords, texCoords))
            return model;
    if (keptModels.size() >= keptModelLimit) {
        dropLeastRecentlyUsed(keptModels);
    }
    keptModels.emplace_back();
    KeptModel& model = keptModels.back();
    model.indices = indices, model.type = type, model.count = count;
    model.positions = positions, model.texCoords = texCoords;
    return model;
}

template <typename Index>
static bool sameCorners(const std::vector<uint32_t>& kept, const void* in) {
    const Index* i = static_cast<const Index*>(in);
    return std::equal(kept.begin(), kept.end(), i);
}

// Whether the caller's indices are those uploaded; if not, they are uploaded
// (and the edges made again when next needed).
static bool updateCorners(KeptModel& model, const void* indices) {
    const size_t count = size_t(model.count);
    if (model.corners.size() == count &&
        (model.type == GL_UNSIGNED_INT
             ? std::memcmp(model.corners.data(), indices, count * sizeof(uint32_t)) == 0
         : model.type == GL_UNSIGNED_SHORT ? sameCorners<uint16_t>(model.corners, indices)
                                           : sameCorners<uint8_t>(model.corners, indices)))
        return true;
    model.corners.resize(count);
    for (size_t i = 0; i < count; i++)
        model.corners[i] = model.type == GL_UNSIGNED_INT ? static_cast<const uint32_t*>(indices)[i]
                           : model.type == GL_UNSIGNED_SHORT
                               ? static_cast<const uint16_t*>(indices)[i]
                               : static_cast<const uint8_t*>(indices)[i];
    model.vertexCount = 1 + *std::max_element(model.corners.begin(), model.corners.end());
    if (!model.triangleBuffer) model.triangleBuffer = newBuffer();
    bindBuffer(GL_ELEMENT_ARRAY_BUFFER, model.triangleBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(count * sizeof(uint32_t)),
                 model.corners.data(), GL_STATIC_DRAW);
    deleteBuffer(model.edgeBuffer);
    model.edgeBuffer = 0;
    return false;
}

// Bytes an array of vertexCount entries occupies.
static size_t arrayBytes(const ClientArray& array, uint32_t vertexCount) {
    if (!array.pointer) return 0;
    const size_t element = size_t(array.size) * sizeof(float);
    const size_t stride = array.stride ? size_t(array.stride) : element;
    return size_t(vertexCount - 1) * stride + element;
}

// Whether kept holds the size bytes array starts with.
static bool holds(const std::vector<uint8_t>& kept, const ClientArray& array, size_t size) {
    return !array.pointer ||
           (kept.size() == size && std::memcmp(kept.data(), array.pointer, size) == 0);
}

// Keeps and uploads the part of the vertex buffer at offset that array fills.
static void upload(const ClientArray& array, std::vector<uint8_t>& kept, size_t size,
                   size_t offset) {
    if (!array.pointer) return;
    const uint8_t* bytes = static_cast<const uint8_t*>(array.pointer);
    kept.assign(bytes, bytes + size);
    glBufferSubData(GL_ARRAY_BUFFER, GLintptr(offset), GLsizeiptr(size), bytes);
}

void gl11DrawElements(unsigned mode, int count, unsigned type, const void* indices) {
    if (mode != GL_TRIANGLES) return reportUnsupported("glDrawElements", mode);
    if (type != GL_UNSIGNED_INT && type != GL_UNSIGNED_SHORT && type != GL_UNSIGNED_BYTE)
        return reportUnsupported("glDrawElements", type);
    const ClientState& client = gl11State().client;
    count -= count % 3;
    if (count <= 0 || !indices || !client.vertices.enabled || !client.vertices.pointer ||
        !readyToDraw())
        return;
    const bool texturing = client.texCoords.enabled && client.texCoords.pointer;
    KeptModel& model = keptModelFor(indices, type, count, client.vertices,
                                    texturing ? client.texCoords : ClientArray());
    model.lastUse = ++drawCount;

    // The arrays go into the vertex buffer one after the other, strides kept.
    const bool sameIndices = updateCorners(model, indices);
    const size_t positionBytes = arrayBytes(model.positions, model.vertexCount);
    const size_t texCoordBytes = arrayBytes(model.texCoords, model.vertexCount);
    if (!model.vertexBuffer) model.vertexBuffer = newBuffer();
    bindBuffer(GL_ARRAY_BUFFER, model.vertexBuffer);
    // Changed: a new store of the same size (nothing waits for draws still
    // reading the old one), filled again.
    if (!sameIndices || !holds(model.positionBytes, model.positions, positionBytes) ||
        !holds(model.texCoordBytes, model.texCoords, texCoordBytes)) {
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(positionBytes + texCoordBytes), nullptr,
                     GL_DYNAMIC_DRAW);
        upload(model.positions, model.positionBytes, positionBytes, 0);
        upload(model.texCoords, model.texCoordBytes, texCoordBytes, positionBytes);
    }

    // For edges, each triangle's three sides.
    const AttribState& a = gl11State().attrib;
    const bool edges = a.polygonMode == GL11_LINE;
    if (edges && !model.edgeBuffer) {
        edgeList.clear();
        appendTriangleEdges(edgeList, model.corners.data(), model.corners.size() / 3);
        model.edgeBuffer = newBuffer();
        bindBuffer(GL_ELEMENT_ARRAY_BUFFER, model.edgeBuffer);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(edgeList.size() * sizeof(uint32_t)),
                     edgeList.data(), GL_STATIC_DRAW);
    }

    // No colour array: every vertex has the current colour; without texture
    // coordinates, every vertex has the current one.
    const AttributeSource texCoordSource =
        texturing ? AttributeSource{model.vertexBuffer, model.texCoords.size,
                                    model.texCoords.stride, positionBytes, nullptr}
                  : AttributeSource{0, 4, 0, 0, a.texCoord};
    drawIndexed(edges ? GL_LINES : GL_TRIANGLES, edges ? model.edgeBuffer : model.triangleBuffer,
                edges ? count * 2 : count,
                {{model.vertexBuffer, model.positions.size, model.positions.stride, 0, nullptr},
                 {0, 4, 0, 0, a.colour},
                 texCoordSource});
}
