#pragma once
// The GL half of window creation that every window shares (the show window of each backend and
// the offline modes' hidden one): projection on resize, and the fixed defaults followed by the
// demo start-up.

// Viewport and projection for a client area of width x height (a height of 0 counts as 1).
void resize_gl_scene(int width, int height);

// Fixed GL defaults, then the demo start-up (`demo_start`). False when the start-up failed (it has
// reported why); the program then ends with exit code 1.
bool init_gl();

// The demo start-up that init_gl runs: the runtime's, unless a test puts its own in place.
extern bool (*demo_start)();
