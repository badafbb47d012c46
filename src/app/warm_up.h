// The first frame that draws a new combination of OpenGL state makes Mesa's
// software renderer build a program for it, and the first draw of a texture
// or a model touches it for the first time: at a scene change that work
// would land in the first frame of the new scene, a visible stutter. The
// warm-up draws every scene once, out of sight, in the frames of the opening
// two seconds, whose screen is black.
#pragma once

// The warm-up in pieces: piece i draws moment i of the timeline, after the
// moment before it when that one lies in another scene, so that the first
// moment of a scene is drawn with the state the scene before it leaves in a
// live run (moment 0 with the state as it stands). A moment inside a scene
// is drawn from the state as it stands: what the scene sets itself is as
// live, and what it inherits was met in its first moment. Every piece
// leaves the OpenGL state and the demo clocks as it found them; what it
// draws stays in the back buffer until the next scene's clear.
int warmUpPieceCount();
void drawWarmUpPiece(int piece);

// Called before each live frame: from the second frame on (start-up ends
// with the first swap), draws the next piece while the demo time is early
// enough that the screen stays black, and nothing once every piece is drawn
// or that time has passed. Every frame until then is drawn by the
// opening's routine, which clears colour and depth before anything else.
// True when it drew a piece.
bool warmUpBeforeFrame();
