#pragma once
// What the show window on SDL shares with the rest of the backend: its OpenGL pixel format (also
// the offline modes' hidden window's, so both draw into the same kind of frame buffer) and the
// test for a video driver that shows nothing.

// Requests a compatibility-profile context, RGBA8, 24-bit depth, no stencil, double buffered,
// for the next window SDL creates. False when SDL refuses one of the attributes.
bool set_show_pixel_format();

// True when SDL's video driver draws nowhere anyone can see (it falls back to an offscreen driver
// when there is no display): the dialog and the show window cannot be shown. Sets SDL's error to
// say so.
bool video_shows_nothing();
