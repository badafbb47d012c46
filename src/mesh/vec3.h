// Three packed floats: the geometry type of the mesh code. Arrays of Vec3 go
// to OpenGL as they are, so the layout is exactly x, y, z with nothing else.
#pragma once

#include <cmath>

class Vec3 {
  public:
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vec3() = default;
    Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    // The vector from point a to point b.
    Vec3(float ax, float ay, float az, float bx, float by, float bz)
        : x(bx - ax), y(by - ay), z(bz - az) {}

    void setFromTo(const Vec3& from, const Vec3& to) {
        x = to.x - from.x;
        y = to.y - from.y;
        z = to.z - from.z;
    }
    float length() const { return std::sqrt(x * x + y * y + z * z); }
    // Divides by the length; a zero vector gets non-finite components.
    void normalize() {
        float l = length();
        x = x / l;
        y = y / l;
        z = z / l;
    }
    void operator+=(const Vec3& b) {
        x += b.x;
        y += b.y;
        z += b.z;
    }
    float dot(const Vec3& b) const { return x * b.x + y * b.y + z * b.z; }
    bool operator==(const Vec3& b) const { return x == b.x && y == b.y && z == b.z; }
    Vec3 operator+(const Vec3& b) const { return Vec3(x + b.x, y + b.y, z + b.z); }
    Vec3 operator-(const Vec3& b) const { return Vec3(x - b.x, y - b.y, z - b.z); }
    // Right-handed: (1, 0, 0) x (0, 1, 0) = (0, 0, 1).
    Vec3 cross(const Vec3& b) const {
        return Vec3(y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x);
    }
};

static_assert(sizeof(Vec3) == 12, "Vec3 arrays are handed to OpenGL tightly packed");
