// The wobble: the ball's rest shape bent by three stages of sines, worked out
// afresh from the rest shape on every call so nothing builds up over frames.
#pragma once

#include "mesh/mesh.h"

// Overwrites out.vertices[i] with the wobbled rest.vertices[i] for the demo
// time t (seconds), for every i both meshes have. Each coordinate keeps its
// sign and grows by two factors between 1 and 2 (so one to four times).
// Normals are left alone: the caller recomputes them. With a current OpenGL
// context, what has been drawn before the call is flushed first, so that the
// renderer fills it while the ball is bent.
void wobbleBall(const Mesh& rest, Mesh& out, float demoTime);
