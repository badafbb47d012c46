// GLU's quadric sphere, drawn through the layer's immediate mode with the
// vertex and texture layout GLU gives it.
#include <cmath>

#include "gl11.h"
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

// Centred on the origin about the z axis. Band j of stacks runs between the
// polar angles pi j / stacks and pi (j + 1) / stacks from +z; each is one
// quad strip taking, for slice i = 0 .. slices at azimuth 2 pi i / slices
// from +y towards +x, the lower ring's point, then the upper ring's.
// Texture s is 1 - i / slices, t is 1 - polar angle / pi (0 at -z, 1 at +z).
void gl11uSphere(GLUquadric* quadric, double radius, int slices, int stacks) {
    if (!quadric || slices < 2 || stacks < 1 || radius < 0.0) return;
    auto point = [=](int i, int ring) {
        const double polar = M_PI * ring / stacks;
        const double azimuth = i == slices ? 0.0 : 2.0 * M_PI * i / slices;
        if (quadric->textureCoords)
            gl11TexCoord2f(float(1.0 - double(i) / slices), float(1.0 - double(ring) / stacks));
        gl11Vertex3f(float(radius * std::sin(polar) * std::sin(azimuth)),
                     float(radius * std::sin(polar) * std::cos(azimuth)),
                     float(radius * std::cos(polar)));
    };
    for (int j = 0; j < stacks; j++) {
        gl11Begin(GL11_QUAD_STRIP);
        for (int i = 0; i <= slices; i++) {
            point(i, j + 1);
            point(i, j);
        }
        gl11End();
    }
}
