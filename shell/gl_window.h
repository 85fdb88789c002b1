#pragma once
// The program's one OpenGL window and its context. The backend (SDL or Win32) implements
// create_gl_window and kill_gl_window; resize_gl_scene and init_gl are plain GL and shared.

// Opens the window (fullscreen switches the display to width x height at `bits` per pixel), makes
// its GL context current and runs the whole demo start-up. False after a reported failure.
bool create_gl_window(const char* title, int width, int height, int bits, bool fullscreen);

// Viewport and projection for a client area of width x height (a height of 0 counts as 1).
void resize_gl_scene(int width, int height);

// Fixed GL defaults, then the demo start-up (`demo_start`). Always true.
bool init_gl();

// The demo start-up that init_gl runs: the runtime's, unless a test puts its own in place.
extern bool (*demo_start)();

// Tears down whatever of the window and context exists; failures are reported and passed over.
void kill_gl_window();
