// Drawing from buffers, and the record of the ES state it has set.
#include "draw.h"

#include <cstring>

#include "es.h"
#include "program.h"
#include "state.h"
#include "texture.h"

// What the layer last gave the ES context for drawing.
struct DrawingObjects {
    DrawingProgram program;
    bool failed = false; // the program did not build: nothing is drawn
    GLuint arrayBuffer = 0, indexBuffer = 0;
    AttributeSource attributes[3]; // as last set, by Attribute
    bool arrayEnabled[3] = {false, false, false};
    float constant[3][4] = {};
    Matrix transform{}, textureMatrix{};
    int textured = -1;
};

static DrawingObjects objects;
static bool attributesKnown = false; // false until the first draw sets them all

void forgetDrawingObjects() {
    objects = DrawingObjects();
    attributesKnown = false;
}

bool readyToDraw() {
    if (objects.program.program) return true;
    if (objects.failed) return false;
    objects.failed = !buildDrawingProgram(objects.program);
    return !objects.failed;
}

GLuint newBuffer() {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    return buffer;
}

void deleteBuffer(GLuint buffer) {
    if (!buffer) return;
    glDeleteBuffers(1, &buffer);
    // Deleting a bound buffer unbinds it.
    if (objects.arrayBuffer == buffer) objects.arrayBuffer = 0;
    if (objects.indexBuffer == buffer) objects.indexBuffer = 0;
    for (AttributeSource& a : objects.attributes)
        if (a.buffer == buffer) a.buffer = ~0u; // set again before the next draw
}

void bindBuffer(GLenum target, GLuint buffer) {
    GLuint& bound = target == GL_ARRAY_BUFFER ? objects.arrayBuffer : objects.indexBuffer;
    if (bound == buffer) return;
    bound = buffer;
    glBindBuffer(target, buffer);
}

static void setMatrix(GLint location, Matrix& set, const Matrix& wanted) {
    if (set == wanted) return;
    set = wanted;
    glUniformMatrix4fv(location, 1, GL_FALSE, wanted.data());
}

// The matrices and the texture switch of the record as it stands.
static void setUniforms() {
    const Gl11State& state = gl11State();
    setMatrix(objects.program.transform, objects.transform,
              multiply(state.projection.back(), state.modelview.back()));
    setMatrix(objects.program.textureMatrix, objects.textureMatrix, state.texture.back());
    const int textured = state.attrib.texture2d && boundTextureSamples() ? 1 : 0;
    if (objects.textured == textured) return;
    objects.textured = textured;
    glUniform1i(objects.program.textured, textured);
}

static void setAttribute(GLuint index, const AttributeSource& source) {
    const bool array = source.buffer != 0;
    const bool known = attributesKnown;
    if (!known || objects.arrayEnabled[index] != array) {
        objects.arrayEnabled[index] = array;
        array ? glEnableVertexAttribArray(index) : glDisableVertexAttribArray(index);
    }
    if (array) {
        AttributeSource& set = objects.attributes[index];
        if (known && set.buffer == source.buffer && set.size == source.size &&
            set.stride == source.stride && set.offset == source.offset)
            return;
        set = source;
        bindBuffer(GL_ARRAY_BUFFER, source.buffer);
        glVertexAttribPointer(index, source.size, GL_FLOAT, GL_FALSE, source.stride,
                              reinterpret_cast<const void*>(source.offset));
        return;
    }
    float* value = objects.constant[index];
    if (known && std::memcmp(value, source.value, sizeof objects.constant[index]) == 0) return;
    std::memcpy(value, source.value, sizeof objects.constant[index]);
    glVertexAttrib4fv(index, value);
}

void drawIndexed(GLenum primitive, GLuint indexBuffer, int count, const VertexSources& sources) {
    if (count <= 0 || !readyToDraw()) return;
    setUniforms();
    setAttribute(positionAttribute, sources.position);
    setAttribute(colourAttribute, sources.colour);
    setAttribute(texCoordAttribute, sources.texCoord);
    attributesKnown = true;
    bindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glDrawElements(primitive, count, GL_UNSIGNED_INT, nullptr);
}
