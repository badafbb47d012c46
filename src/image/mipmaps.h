// The mip-map chain of a picture, built by GLU for the bound texture.
#pragma once

// Uploads width x height pixels of channels bytes each (3 for GL_RGB, 4 for
// GL_RGBA), rows tightly packed, top row first, as the whole mip-map chain
// of the bound GL_TEXTURE_2D through gluBuild2DMipmaps. Sides that are not
// powers of two are scaled to the nearest ones, as GLU would. The pack and
// unpack alignments are 1 meanwhile and restored afterwards.
void buildMipmaps(int channels, int width, int height, const unsigned char* pixels);
