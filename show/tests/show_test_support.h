#pragma once
// Support for the show's GL tests and benchmarks.
#include <filesystem>

// The GL state the window's set-up leaves before the show starts: smooth shading, clear colour
// (0, 0, 0, 0.5), depth test on with GL_LEQUAL.
void window_gl_defaults();

// Small stand-ins for the show's data files (shaders, meshes, key track), written into a folder
// with the layout the show opens, for runs without the real data.
void write_stand_in_assets(const std::filesystem::path& dir);
