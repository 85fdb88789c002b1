#pragma once
// The show's OpenGL pixel format on SDL, shared by the show window and the offline modes' hidden
// window so both draw into the same kind of frame buffer.

// Requests a compatibility-profile context, RGBA8, 24-bit depth, no stencil, double buffered,
// for the next window SDL creates. False when SDL refuses one of the attributes.
bool set_show_pixel_format();
