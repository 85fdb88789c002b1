#pragma once
// Small stand-ins for the show's data files (shaders, meshes, key track), written into a folder
// with the layout the show opens, for tests and benchmarks that run without the real data.
#include <filesystem>

void write_stand_in_assets(const std::filesystem::path& dir);
