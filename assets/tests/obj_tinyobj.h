#pragma once
// tinyobjloader as an oracle: the triangle corners of a file as it reads them, its polygons
// fan-triangulated the way obj_mesh triangulates, beside the same corners from an obj_mesh.
#include <array>
#include <vector>

#include "assets/obj_mesh.h"

// x y z s t nx ny nz; texture coordinates and normals a corner does not name are 0.
using obj_corner = std::array<float, 8>;

// False when tinyobjloader reports an error.
bool tinyobj_corners(const char* file, std::vector<obj_corner>& corners);

std::vector<obj_corner> mesh_corners(const obj_mesh& mesh);
