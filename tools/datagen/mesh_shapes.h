// The four meshes of the data set, built by formula: the battle tunnel, the
// interlocked cubes, the turning room and the wobbling ball.
#pragma once

#include "mesh/object_file.h"

// Where the battle scene puts the tunnel: it scales the file by 0.2, mirrors
// it through the origin, then translates by (0, 0, -80) and turns it 180 degrees
// about (-9, 1, 1). The tube runs along the world z axis through the camera.
constexpr float tunnelRadius = 3.2f;   // world units, round the world z axis
constexpr float tunnelNearZ = -125.0f; // world z of the end behind the camera
constexpr float tunnelFarZ = 1500.0f;  // world z of the far end (roughly)
constexpr int tunnelTilesAround = 3;   // texture repeats round the tube

// The room: a cube of half-size roomHalfSize (file units) round its centre,
// one mesh per wall, seen from inside.
constexpr float roomHalfSize = 600.0f;
constexpr int roomTilesPerWall = 4;

// The ball: a UV sphere of this radius (file units) round the origin.
constexpr float ballRadius = 30.0f;
constexpr int ballColumns = 60; // quads round the equator
constexpr int ballRows = 40;    // quads from pole to pole

ObjectMesh makeTunnel();
ObjectMesh makeInterlockedCubes();
std::vector<ObjectMesh> makeRoomWalls(); // six meshes, one wall each
ObjectMesh makeBall();

// The inverse of the battle scene's model transform: the file position that
// lands at a world position. The scene maps a file position p to (0, 0, -80) +
// R(-0.2 p), R the 180-degree turn about (-9, 1, 1), which is its own inverse.
void tunnelWorldToFile(const float world[3], float file[3]);
