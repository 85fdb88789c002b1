#pragma once
// A hidden SDL window with an OpenGL compatibility context and GLEW initialised, for tests that
// draw and read pixels back. Created once per test process; needs a display (Xvfb in CI).
#include <GL/glew.h>

#include <cstdint>
#include <vector>

namespace test_gl {

// Makes the context current, creating it on the first call. Fails the process (with a message)
// when no context can be made. The default framebuffer is width x height.
void ensure_context(int width = 256, int height = 256);

// Reads an RGBA8 rectangle from the currently bound read framebuffer.
std::vector<uint8_t> read_rgba(int x, int y, int width, int height);

// Collects and clears pending GL errors; returns the first one (GL_NO_ERROR when none).
GLenum drain_errors();

}  // namespace test_gl
