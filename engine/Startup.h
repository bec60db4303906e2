#pragma once
// The steps of the program's start, frame loop and shut-down, called by main
// in this order.

namespace Engine { class Level; }

// How the C library's allocator serves a run of hours: blocks of 128 kB and
// more (a text element's font texture, decoded images, the driver's big
// buffers) are mapped on their own and returned when freed, rather than cut
// from the heap, where such short-lived blocks between long-lived small ones
// leave holes that grow the process for good; and a free megabyte at the
// heap's top goes back to the system, so a burst leaves no lasting peak.
// Called first thing.
void setUpMemory();

// Starts the window library and opens the game window of the configured size
// (at most the desktop's) with a 24-bit depth and 8-bit stencil buffer
// (full-screen when "fullscreen" is 1), logs its mode and size and sets its
// title. When the window's size is not the configured one, says so and
// makes the configuration answer "width" and "height" with it. On failure
// logs it, shuts the window library down and returns false.
bool openGameWindow(int width, int height);

// Loads the OpenGL entry points, logs the version, sets the fixed state and
// registers the key commands.
void setUpOpenGL();

// Starts the sound library and makes the nine sound sources. A missing or
// unreadable file leaves its source silent; the first frame reports its
// error with its name.
void loadSounds();

// Builds the off-screen colour texture, depth buffer and framebuffer of the
// given size. An incomplete framebuffer is reported on standard output only.
void createOffscreenFramebuffer(int width, int height);

// Draws the loading screen for 22 frames and deletes it, then builds the
// final arena and makes it the current level (which also sets the
// frame-rate text, the radar and the help screen). Key presses that the
// loading frames deliver find none of these yet; the key commands leave
// what is missing alone.
void loadArena();

// One frame of the main loop with the time step dt: update, clear of the
// off-screen framebuffer, drawing (with the swap), then the OpenGL and sound
// error checks.
void runFrame(Engine::Level* level, float dt);

// Runs frames on the level until the window is closed, Escape is down, or
// the left Alt key and F4 are down together.
void runFrameLoop(Engine::Level* level);

// Plays the good-bye sound to its end and shuts everything down.
void shutDown();

// Window size actually requested for the configured size: like the window
// library the configuration was written for, a missing side follows from the
// other at 4:3, and with neither the window gets 640x480.
void windowRequestSize(int width, int height, int& requestWidth, int& requestHeight);
