// 4 x 4 matrices as GL keeps them.
#pragma once

#include <array>

// Column-major, as GL stores matrices.
using Matrix = std::array<float, 16>;

inline Matrix identityMatrix() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

// a * b: b's transformation applied first.
Matrix multiply(const Matrix& a, const Matrix& b);
