// The OpenGL 1.1 and GLU calls the demo makes, drawn with OpenGL ES 2 / WebGL 1
// (with 32-bit indices). Each gl11X stands for the call glX (gluX for the GLU
// ones) with the same arguments and effects; gl11_calls.h maps the names.
// Only the values the demo passes are handled; any other is reported once on
// standard error and ignored, as GL ignores a call with GL_INVALID_ENUM.
#pragma once

struct GLUquadric;

// Forgets every object and setting: the current context is a new one, in
// GL's initial state. Call once a new context is current.
void gl11StartContext();
// How many OpenGL ES calls the layer has made since the program started.
unsigned long long gl11EsCalls();

// Immediate mode: the current colour and texture coordinate are state.
void gl11Begin(unsigned mode);
void gl11End();
void gl11Vertex3f(float x, float y, float z);
void gl11TexCoord2f(float s, float t);
void gl11Color4f(float r, float g, float b, float a);

// Matrix stacks (32 deep each).
void gl11MatrixMode(unsigned mode);
void gl11LoadIdentity();
void gl11LoadMatrixf(const float* m);
void gl11PushMatrix();
void gl11PopMatrix();
void gl11Translatef(float x, float y, float z);
void gl11Rotatef(float degrees, float x, float y, float z);
void gl11Scalef(float x, float y, float z);

// Capabilities and state queries, answered from the layer's own record.
void gl11Enable(unsigned cap);
void gl11Disable(unsigned cap);
unsigned char gl11IsEnabled(unsigned cap);
void gl11GetIntegerv(unsigned name, int* values);
void gl11GetFloatv(unsigned name, float* values);

void gl11BlendFunc(unsigned source, unsigned destination);
void gl11Clear(unsigned mask);
void gl11ClearColor(float r, float g, float b, float a);
void gl11Viewport(int x, int y, int width, int height);
void gl11Scissor(int x, int y, int width, int height);
void gl11PolygonMode(unsigned face, unsigned mode);
void gl11Flush();
void gl11PushAttrib(unsigned mask);
void gl11PopAttrib();
void gl11PushClientAttrib(unsigned mask);
void gl11PopClientAttrib();
void gl11PixelStorei(unsigned name, int value);
void gl11ReadPixels(int x, int y, int width, int height, unsigned format, unsigned type,
                    void* pixels);

// Textures: RGB and RGBA bytes, the texture environment GL_MODULATE.
void gl11GenTextures(int count, unsigned* names);
void gl11BindTexture(unsigned target, unsigned name);
void gl11TexParameteri(unsigned target, unsigned name, int value);
void gl11TexImage2D(unsigned target, int level, int internalFormat, int width, int height,
                    int border, unsigned format, unsigned type, const void* pixels);
void gl11GetTexLevelParameteriv(unsigned target, int level, unsigned name, int* value);

// Vertex arrays: positions and texture coordinates of floats; normals are
// kept but unused (nothing is lit).
void gl11EnableClientState(unsigned array);
void gl11DisableClientState(unsigned array);
void gl11VertexPointer(int size, unsigned type, int stride, const void* pointer);
void gl11NormalPointer(unsigned type, int stride, const void* pointer);
void gl11TexCoordPointer(int size, unsigned type, int stride, const void* pointer);
void gl11DrawElements(unsigned mode, int count, unsigned type, const void* indices);

// GLU.
void gl11uPerspective(double fovy, double aspect, double zNear, double zFar);
void gl11uLookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                 double centreZ, double upX, double upY, double upZ);
GLUquadric* gl11uNewQuadric();
void gl11uDeleteQuadric(GLUquadric* quadric);
void gl11uQuadricNormals(GLUquadric* quadric, unsigned normals);
void gl11uQuadricTexture(GLUquadric* quadric, unsigned char textureCoords);
void gl11uSphere(GLUquadric* quadric, double radius, int slices, int stacks);
int gl11uBuild2DMipmaps(unsigned target, int internalFormat, int width, int height, unsigned format,
                        unsigned type, const void* pixels);
int gl11uScaleImage(unsigned format, int widthIn, int heightIn, unsigned typeIn, const void* dataIn,
                    int widthOut, int heightOut, unsigned typeOut, void* dataOut);
