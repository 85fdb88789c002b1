#pragma once
// A test oracle: the OBJ loader written literally with C formatted input (fscanf on a stream, two
// passes with a rewind in between), making the same safety decisions as obj_mesh. Slow; used only
// to check that the in-memory loader gives identical results.
#include <cstdio>
#include <string_view>

#include "assets/obj_mesh.h"

// Loads from an open stream into `mesh` (which must be freshly constructed). False for the files
// obj_mesh rejects; `mesh` then holds whatever was read.
bool reference_load(std::FILE* in, bool recompute_normals, obj_mesh& mesh);

// The same for text in memory.
bool reference_load_text(std::string_view text, bool recompute_normals, obj_mesh& mesh);

// Whether the oracle's reading matches obj_mesh's by construction for this text: every line
// (and so every token) fits the 255-character reading buffer and no digit run is long enough to
// overflow a 32-bit int, the two places where the in-memory reader deliberately differs.
bool reference_applies(std::string_view text);

// Empty when both meshes hold the same results (bit for bit), else a description of the first
// difference.
std::string mesh_difference(const obj_mesh& expected, const obj_mesh& actual);
