// The modelview, projection and texture stacks, and GLU's two view matrices.
#include <algorithm>
#include <cmath>

#include "gl11.h"
#include "matrix.h"
#include "state.h"

// GL guarantees 32 modelview and 2 projection and texture entries; 32 for each.
constexpr size_t stackDepth = 32;

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix c{};
    for (int column = 0; column < 4; column++)
        for (int row = 0; row < 4; row++) {
            float sum = 0.0f;
            for (int k = 0; k < 4; k++)
                sum += a[size_t(k * 4 + row)] * b[size_t(column * 4 + k)];
            c[size_t(column * 4 + row)] = sum;
        }
    return c;
}

// The stack the matrix mode names.
static std::vector<Matrix>& currentStack() {
    Gl11State& state = gl11State();
    switch (state.attrib.matrixMode) {
    case GL11_PROJECTION:
        return state.projection;
    case GL11_TEXTURE:
        return state.texture;
    }
    return state.modelview;
}

// The top of the current stack becomes top * m.
static void multiplyTop(const Matrix& m) {
    Matrix& top = currentStack().back();
    top = multiply(top, m);
}

void gl11MatrixMode(unsigned mode) {
    if (mode != GL11_MODELVIEW && mode != GL11_PROJECTION && mode != GL11_TEXTURE)
        return reportUnsupported("glMatrixMode", mode);
    gl11State().attrib.matrixMode = mode;
}

void gl11LoadIdentity() {
    currentStack().back() = identityMatrix();
}

void gl11LoadMatrixf(const float* m) {
    Matrix& top = currentStack().back();
    std::copy(m, m + 16, top.begin());
}

void gl11PushMatrix() {
    std::vector<Matrix>& stack = currentStack();
    if (stack.size() >= stackDepth)
        return reportUnsupported("glPushMatrix", unsigned(stack.size()));
    stack.push_back(stack.back());
}

void gl11PopMatrix() {
    std::vector<Matrix>& stack = currentStack();
    if (stack.size() <= 1) return reportUnsupported("glPopMatrix", 0);
    stack.pop_back();
}

void gl11Translatef(float x, float y, float z) {
    multiplyTop({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1});
}

void gl11Scalef(float x, float y, float z) {
    multiplyTop({x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1});
}

void gl11Rotatef(float degrees, float x, float y, float z) {
    const double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    if (length == 0.0) return; // GL leaves the matrix as it is
    const double ux = x / length, uy = y / length, uz = z / length;
    const double angle = double(degrees) * M_PI / 180.0;
    const double s = std::sin(angle), c = std::cos(angle), t = 1.0 - c;
    // The rotation by angle about (ux, uy, uz), right-handed, as glRotate documents it.
    const Matrix r = {float(ux * ux * t + c),
                      float(uy * ux * t + uz * s),
                      float(uz * ux * t - uy * s),
                      0,
                      float(ux * uy * t - uz * s),
                      float(uy * uy * t + c),
                      float(uz * uy * t + ux * s),
                      0,
                      float(ux * uz * t + uy * s),
                      float(uy * uz * t - ux * s),
                      float(uz * uz * t + c),
                      0,
                      0,
                      0,
                      0,
                      1};
    multiplyTop(r);
}

void gl11uPerspective(double fovy, double aspect, double zNear, double zFar) {
    const double half = fovy / 2.0 * M_PI / 180.0;
    const double depth = zFar - zNear;
    const double sine = std::sin(half);
    // GLU leaves the matrix alone for a degenerate frustum.
    if (depth == 0.0 || sine == 0.0 || aspect == 0.0) return;
    const double f = std::cos(half) / sine;
    multiplyTop({float(f / aspect), 0, 0, 0, 0, float(f), 0, 0, 0, 0,
                 float(-(zFar + zNear) / depth), -1, 0, 0, float(-2.0 * zNear * zFar / depth), 0});
}

void gl11uLookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                 double centreZ, double upX, double upY, double upZ) {
    auto normalise = [](double* v) {
        const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length == 0.0) return;
        v[0] /= length, v[1] /= length, v[2] /= length;
    };
    auto cross = [](const double* a, const double* b, double* out) {
        out[0] = a[1] * b[2] - a[2] * b[1];
        out[1] = a[2] * b[0] - a[0] * b[2];
        out[2] = a[0] * b[1] - a[1] * b[0];
    };
    double forward[3] = {centreX - eyeX, centreY - eyeY, centreZ - eyeZ};
    const double upIn[3] = {upX, upY, upZ};
    normalise(forward);
    double side[3], up[3];
    cross(forward, upIn, side);
    normalise(side);
    cross(side, forward, up);
    // Rows side, up and -forward: the eye looks down -z with up along +y.
    multiplyTop({float(side[0]), float(up[0]), float(-forward[0]), 0, float(side[1]), float(up[1]),
                 float(-forward[1]), 0, float(side[2]), float(up[2]), float(-forward[2]), 0, 0, 0,
                 0, 1});
    gl11Translatef(float(-eyeX), float(-eyeY), float(-eyeZ));
}
