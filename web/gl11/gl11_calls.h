// Force-included (-include) into every source that draws through the layer:
// GL's and GLU's own headers give the types and enums, then each call the
// demo makes is renamed to the layer's.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include "gl11.h"

#define glBegin gl11Begin
#define glEnd gl11End
#define glVertex3f gl11Vertex3f
#define glTexCoord2f gl11TexCoord2f
#define glColor4f gl11Color4f
#define glMatrixMode gl11MatrixMode
#define glLoadIdentity gl11LoadIdentity
#define glLoadMatrixf gl11LoadMatrixf
#define glPushMatrix gl11PushMatrix
#define glPopMatrix gl11PopMatrix
#define glTranslatef gl11Translatef
#define glRotatef gl11Rotatef
#define glScalef gl11Scalef
#define glEnable gl11Enable
#define glDisable gl11Disable
#define glIsEnabled gl11IsEnabled
#define glGetIntegerv gl11GetIntegerv
#define glGetFloatv gl11GetFloatv
#define glBlendFunc gl11BlendFunc
#define glClear gl11Clear
#define glClearColor gl11ClearColor
#define glViewport gl11Viewport
#define glScissor gl11Scissor
#define glPolygonMode gl11PolygonMode
#define glFlush gl11Flush
#define glPushAttrib gl11PushAttrib
#define glPopAttrib gl11PopAttrib
#define glPushClientAttrib gl11PushClientAttrib
#define glPopClientAttrib gl11PopClientAttrib
#define glPixelStorei gl11PixelStorei
#define glReadPixels gl11ReadPixels
#define glGenTextures gl11GenTextures
#define glBindTexture gl11BindTexture
#define glTexParameteri gl11TexParameteri
#define glTexImage2D gl11TexImage2D
#define glGetTexLevelParameteriv gl11GetTexLevelParameteriv
#define glEnableClientState gl11EnableClientState
#define glDisableClientState gl11DisableClientState
#define glVertexPointer gl11VertexPointer
#define glNormalPointer gl11NormalPointer
#define glTexCoordPointer gl11TexCoordPointer
#define glDrawElements gl11DrawElements
#define gluPerspective gl11uPerspective
#define gluLookAt gl11uLookAt
#define gluNewQuadric gl11uNewQuadric
#define gluDeleteQuadric gl11uDeleteQuadric
#define gluQuadricNormals gl11uQuadricNormals
#define gluQuadricTexture gl11uQuadricTexture
#define gluSphere gl11uSphere
#define gluBuild2DMipmaps gl11uBuild2DMipmaps
#define gluScaleImage gl11uScaleImage
