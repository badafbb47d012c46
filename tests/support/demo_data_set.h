// A small but complete data set for the start-up loader: every picture and
// object file the demo reads, at the demo's paths under a folder.
#pragma once

#include <string>

#include "mesh/object_file.h"

// A width x height JPEG (three colour components) of one colour.
bool writeSolidJpeg(const std::string& path, int width, int height, uint8_t r, uint8_t g,
                    uint8_t b);
// A width x height RGBA PNG of one colour.
bool writeSolidPng(const std::string& path, int width, int height, uint8_t r, uint8_t g, uint8_t b,
                   uint8_t a);

// Mesh number n of the data set's object files: one triangle, corners in
// counter-clockwise order seen from +z, positions (5 + n, -10, 1),
// (10 + n, -10, 1), (5 + n, -5, 1).
ObjectMesh dataSetMesh(int n);

// Writes root/data/pic/... (7 JPEGs of 4 x 4, 46 PNGs of 4 x 4) and
// root/data/objects/...: tunnel.ebr and bicube.ebr with meshes 0 and 1,
// kule.ebr with mesh 0, kube2.ebr with cubeMeshes meshes 0, 1, ...
bool writeDemoDataSet(const std::string& root, int cubeMeshes = 7);
