// The data set's meshes, built by formula with texture coordinates that show
// the textures undistorted. The reader turns the stored u into 1 - u, so every
// u here is written as 1 - s for the s the scene should see.
#include "mesh_shapes.h"

#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

struct Point {
    double x, y, z;
};

Point add(Point a, Point b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Point times(Point a, double k) {
    return {a.x * k, a.y * k, a.z * k};
}

ObjectVertex vertexAt(Point p, double s, double t) {
    return {float(p.x), float(p.y), float(p.z), float(1.0 - s), float(t)};
}

// A (columns + 1) x (rows + 1) grid of vertices, row-major, becomes quads of
// two triangles each; corners in the order a, b, c / a, c, d of each quad.
void addGridTriangles(ObjectMesh& mesh, uint32_t first, int columns, int rows) {
    const uint32_t stride = uint32_t(columns + 1);
    for (int r = 0; r < rows; r++)
        for (int c = 0; c < columns; c++) {
            uint32_t a = first + uint32_t(r) * stride + uint32_t(c);
            uint32_t b = a + 1, d = a + stride, e = d + 1;
            mesh.triangles.push_back({a, b, e});
            mesh.triangles.push_back({a, e, d});
        }
}

// The 180-degree turn about the unit axis along (-9, 1, 1): v -> 2(a.v)a - v.
Point halfTurn(Point v) {
    const double n2 = 83.0; // |(-9, 1, 1)|^2
    double k = 2.0 * (-9.0 * v.x + v.y + v.z) / n2;
    return {k * -9.0 - v.x, k - v.y, k - v.z};
}

} // namespace

void tunnelWorldToFile(const float world[3], float file[3]) {
    Point p = times(halfTurn({world[0], world[1], world[2] + 80.0}), -5.0);
    file[0] = float(p.x);
    file[1] = float(p.y);
    file[2] = float(p.z);
}

ObjectMesh makeTunnel() {
    // Designed where the camera sees it (a tube round the world z axis from
    // behind the eye far into the distance), then carried back into the file.
    // A ring every texture tile along; s goes round, t along, so the scene's
    // texture scroll reads as flight down the tube.
    const int around = 32;
    const double tile = 2.0 * pi * tunnelRadius / tunnelTilesAround;
    const int rings = int(std::ceil((tunnelFarZ - tunnelNearZ) / tile));
    ObjectMesh mesh;
    for (int r = 0; r <= rings; r++) {
        double z = tunnelNearZ + r * tile;
        for (int c = 0; c <= around; c++) {
            double angle = 2.0 * pi * c / around;
            // Wound so that, after the mirror and the turn, the normals that
            // start-up computes point at the tube's axis.
            float world[3] = {float(-tunnelRadius * std::cos(angle)),
                              float(tunnelRadius * std::sin(angle)), float(z)};
            float file[3];
            tunnelWorldToFile(world, file);
            mesh.vertices.push_back(
                vertexAt({file[0], file[1], file[2]}, double(tunnelTilesAround) * c / around, r));
        }
    }
    addGridTriangles(mesh, 0, around, rings);
    return mesh;
}

namespace {

// One flat square face: four vertices of its own so its normal stays flat.
// Corners counter-clockwise seen from where the normal should point.
void addFace(ObjectMesh& mesh, Point centre, Point right, Point up, int tiles) {
    const uint32_t first = uint32_t(mesh.vertices.size());
    for (int r = 0; r <= tiles; r++)
        for (int c = 0; c <= tiles; c++) {
            double fx = -1.0 + 2.0 * c / tiles, fy = 1.0 - 2.0 * r / tiles;
            Point p = add(centre, add(times(right, fx), times(up, fy)));
            mesh.vertices.push_back(vertexAt(p, c, r)); // t runs down the face
        }
    // Row r is above row r + 1: a, b along the top, d, e below.
    const uint32_t stride = uint32_t(tiles + 1);
    for (int r = 0; r < tiles; r++)
        for (int c = 0; c < tiles; c++) {
            uint32_t a = first + uint32_t(r) * stride + uint32_t(c);
            uint32_t b = a + 1, d = a + stride, e = d + 1;
            mesh.triangles.push_back({a, d, e});
            mesh.triangles.push_back({a, e, b});
        }
}

// The six faces of a cube with half-size h in the frame (ex, ey, ez), facing out
// (inward = false) or in.
void addCube(ObjectMesh& mesh, Point ex, Point ey, Point ez, double h, bool inward, int tiles) {
    const Point axes[3] = {ex, ey, ez};
    for (int a = 0; a < 3; a++)
        for (int sign = -1; sign <= 1; sign += 2) {
            Point n = times(axes[a], sign);
            Point right = axes[(a + 1) % 3];
            Point up = axes[(a + 2) % 3];
            // right x up = n gives the outward-facing order.
            if (sign < 0) right = times(right, -1.0);
            if (inward) right = times(right, -1.0);
            addFace(mesh, times(n, h), times(right, h), times(up, h), tiles);
        }
}

} // namespace

ObjectMesh makeInterlockedCubes() {
    // Two cubes through each other, the second turned 45 degrees about y and
    // then about x. Start-up mirrors this mesh through the origin after its
    // normals are computed, so the faces are wound inward here for the normals
    // to point outward once mirrored.
    ObjectMesh mesh;
    const double h = 10.0;
    addCube(mesh, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, h, true, 1);
    const double c = std::cos(pi / 4), s = std::sin(pi / 4);
    auto turn = [&](Point p) { // about y, then about x
        Point q = {c * p.x + s * p.z, p.y, -s * p.x + c * p.z};
        return Point{q.x, c * q.y - s * q.z, s * q.y + c * q.z};
    };
    addCube(mesh, turn({1, 0, 0}), turn({0, 1, 0}), turn({0, 0, 1}), h, true, 1);
    return mesh;
}

std::vector<ObjectMesh> makeRoomWalls() {
    // The scene turns the file's z axis upright, so the side walls carry the
    // texture with t = 0 at the top (largest z). Faces look into the room.
    const double h = roomHalfSize;
    const Point up = {0, 0, 1};
    std::vector<ObjectMesh> walls(6);
    // The four side walls, going round; each looks at the centre.
    const Point normals[4] = {{1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}};
    for (int i = 0; i < 4; i++) {
        Point n = normals[i];
        Point right = {-n.y, n.x, 0}; // up x n: right as seen from inside
        addFace(walls[i], times(n, -h), times(right, h), times(up, h), roomTilesPerWall);
    }
    // Floor and ceiling.
    addFace(walls[4], {0, 0, -h}, {h, 0, 0}, {0, h, 0}, roomTilesPerWall);
    addFace(walls[5], {0, 0, h}, {h, 0, 0}, {0, -h, 0}, roomTilesPerWall);
    return walls;
}

ObjectMesh makeBall() {
    // A UV sphere: s round the equator 0..1 with the seam column doubled, t
    // from the north pole 0 to the south pole 1. Each pole has one vertex per
    // column, at the column's middle s, so every pole triangle has its own.
    ObjectMesh mesh;
    auto ringPoint = [](int r, int c) {
        double theta = pi * r / ballRows, phi = 2.0 * pi * c / ballColumns;
        return Point{ballRadius * std::sin(theta) * std::cos(phi), ballRadius * std::cos(theta),
                     -ballRadius * std::sin(theta) * std::sin(phi)};
    };
    // Rings 1 .. ballRows - 1, then the two poles.
    for (int r = 1; r < ballRows; r++)
        for (int c = 0; c <= ballColumns; c++)
            mesh.vertices.push_back(
                vertexAt(ringPoint(r, c), double(c) / ballColumns, double(r) / ballRows));
    const uint32_t stride = ballColumns + 1;
    const uint32_t north = uint32_t(mesh.vertices.size()), south = north + ballColumns;
    for (int pole = 0; pole < 2; pole++)
        for (int c = 0; c < ballColumns; c++)
            mesh.vertices.push_back(vertexAt({0.0, pole ? -ballRadius : ballRadius, 0.0},
                                             (c + 0.5) / ballColumns, pole));
    // Counter-clockwise seen from outside.
    auto ring = [&](int r, int c) { return uint32_t(r - 1) * stride + uint32_t(c); };
    for (int c = 0; c < ballColumns; c++) {
        mesh.triangles.push_back({north + uint32_t(c), ring(1, c), ring(1, c + 1)});
        for (int r = 1; r < ballRows - 1; r++) {
            uint32_t a = ring(r, c), b = ring(r, c + 1), d = ring(r + 1, c), e = ring(r + 1, c + 1);
            mesh.triangles.push_back({a, d, b});
            mesh.triangles.push_back({b, d, e});
        }
        mesh.triangles.push_back(
            {ring(ballRows - 1, c), south + uint32_t(c), ring(ballRows - 1, c + 1)});
    }
    return mesh;
}
