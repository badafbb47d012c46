// The drawing program's shaders and their set-up.
#include "program.h"

#include <cstdio>

#include "es.h"

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

bool buildDrawingProgram(DrawingProgram& out) {
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
        return false;
    }
    out.program = program;
    out.transform = glGetUniformLocation(program, "transform");
    out.textureMatrix = glGetUniformLocation(program, "textureMatrix");
    out.textured = glGetUniformLocation(program, "textured");
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "picture"), 0);
    return true;
}
