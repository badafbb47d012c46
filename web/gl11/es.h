// The OpenGL ES 2 calls the layer makes, each one counted. In a browser every
// call is validated and crosses into another process, so how many a frame
// takes is what the layer's speed is measured in (gl11EsCalls). Every file of
// the layer that calls ES includes this instead of <GLES2/gl2.h>.
#pragma once

#include <GLES2/gl2.h>
#include <cstdint>

extern uint64_t esCallCount;

// Inside its own expansion a macro's name is not expanded again, so each
// stands for the counter's step and then the real call.
#define glAttachShader(...) (++esCallCount, glAttachShader(__VA_ARGS__))
#define glBindAttribLocation(...) (++esCallCount, glBindAttribLocation(__VA_ARGS__))
#define glBindBuffer(...) (++esCallCount, glBindBuffer(__VA_ARGS__))
#define glBindTexture(...) (++esCallCount, glBindTexture(__VA_ARGS__))
#define glBlendFunc(...) (++esCallCount, glBlendFunc(__VA_ARGS__))
#define glBufferData(...) (++esCallCount, glBufferData(__VA_ARGS__))
#define glBufferSubData(...) (++esCallCount, glBufferSubData(__VA_ARGS__))
#define glClear(...) (++esCallCount, glClear(__VA_ARGS__))
#define glClearColor(...) (++esCallCount, glClearColor(__VA_ARGS__))
#define glCompileShader(...) (++esCallCount, glCompileShader(__VA_ARGS__))
#define glCreateProgram(...) (++esCallCount, glCreateProgram(__VA_ARGS__))
#define glCreateShader(...) (++esCallCount, glCreateShader(__VA_ARGS__))
#define glDeleteBuffers(...) (++esCallCount, glDeleteBuffers(__VA_ARGS__))
#define glDeleteProgram(...) (++esCallCount, glDeleteProgram(__VA_ARGS__))
#define glDeleteShader(...) (++esCallCount, glDeleteShader(__VA_ARGS__))
#define glDisable(...) (++esCallCount, glDisable(__VA_ARGS__))
#define glDisableVertexAttribArray(...) (++esCallCount, glDisableVertexAttribArray(__VA_ARGS__))
#define glDrawElements(...) (++esCallCount, glDrawElements(__VA_ARGS__))
#define glEnable(...) (++esCallCount, glEnable(__VA_ARGS__))
#define glEnableVertexAttribArray(...) (++esCallCount, glEnableVertexAttribArray(__VA_ARGS__))
#define glFlush(...) (++esCallCount, glFlush(__VA_ARGS__))
#define glGenBuffers(...) (++esCallCount, glGenBuffers(__VA_ARGS__))
#define glGenTextures(...) (++esCallCount, glGenTextures(__VA_ARGS__))
#define glGetIntegerv(...) (++esCallCount, glGetIntegerv(__VA_ARGS__))
#define glGetProgramiv(...) (++esCallCount, glGetProgramiv(__VA_ARGS__))
#define glGetShaderInfoLog(...) (++esCallCount, glGetShaderInfoLog(__VA_ARGS__))
#define glGetShaderiv(...) (++esCallCount, glGetShaderiv(__VA_ARGS__))
#define glGetUniformLocation(...) (++esCallCount, glGetUniformLocation(__VA_ARGS__))
#define glLinkProgram(...) (++esCallCount, glLinkProgram(__VA_ARGS__))
#define glPixelStorei(...) (++esCallCount, glPixelStorei(__VA_ARGS__))
#define glReadPixels(...) (++esCallCount, glReadPixels(__VA_ARGS__))
#define glScissor(...) (++esCallCount, glScissor(__VA_ARGS__))
#define glShaderSource(...) (++esCallCount, glShaderSource(__VA_ARGS__))
#define glTexImage2D(...) (++esCallCount, glTexImage2D(__VA_ARGS__))
#define glTexParameteri(...) (++esCallCount, glTexParameteri(__VA_ARGS__))
#define glUniform1i(...) (++esCallCount, glUniform1i(__VA_ARGS__))
#define glUniformMatrix4fv(...) (++esCallCount, glUniformMatrix4fv(__VA_ARGS__))
#define glUseProgram(...) (++esCallCount, glUseProgram(__VA_ARGS__))
#define glVertexAttrib4fv(...) (++esCallCount, glVertexAttrib4fv(__VA_ARGS__))
#define glVertexAttribPointer(...) (++esCallCount, glVertexAttribPointer(__VA_ARGS__))
#define glViewport(...) (++esCallCount, glViewport(__VA_ARGS__))
