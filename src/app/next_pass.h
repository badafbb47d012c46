// A looping run plays the timeline again from 0 once it ends: the next pass
// must not inherit what the last one left in OpenGL.
#pragma once

// Puts the OpenGL state a pass of the timeline leaves behind back as a new
// context has it, with the start-up view for the output as it is now. Every
// frame of the next pass is then the frame the first pass drew at that time.
void resetStateForNextPass();
