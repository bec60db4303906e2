#pragma once
// The window size the program asks for, and the size it then draws at.
#include <string>

// Caps a requested window size at the desktop's: a window beyond the screen
// shows nothing more, takes memory for nothing, and a very large one fails
// inside the window system. An unknown desktop size caps nothing.
void capToDesktop(int& width, int& height);

// After the window is open: everything draws at the size the window really
// has, within what OpenGL renders (viewport, texture and renderbuffer
// limits). When that is not the configured size, one line says so and which
// size is used, and from then on the configuration answers "width" and
// "height" with that size.
void useWindowSize(int configuredWidth, int configuredHeight);

// The line useWindowSize logs, without its line end; empty when the
// configured size is used as it is.
std::string windowSizeNote(int configuredWidth, int configuredHeight, int usedWidth,
                           int usedHeight);
