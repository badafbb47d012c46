// Geometry the layer keeps in buffers between draws: the models drawn from
// client arrays (arrays.cpp) and GLU's spheres (sphere.cpp).
#pragma once

// Forget them (a new context, where their buffers are gone).
void forgetKeptModels();
void forgetKeptSpheres();
