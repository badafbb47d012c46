// What drawing needs to know of the textures.
#pragma once

// Whether the bound texture is complete for its filter (texturing with an
// incomplete texture is as if texturing were off). One that WebGL 1 would
// sample as black (a side that is not a power of two, with GL_REPEAT or
// mip-maps) is said once on standard error, with its size and why.
bool boundTextureSamples();
