#pragma once
// The show's meshes, each built into a fresh mesh_builder.
#include "tools/meshgen/mesh_builder.h"

namespace meshgen {

// One storey of an impossible tower around the y axis, y from 0 to 18, hollow core of radius
// 2.6 (the camera flies down the axis): a colonnade, two spiral stairs (one upside down), landings
// and an arcaded outer wall. Modules stacked 18 apart join seamlessly at wall and columns.
void build_escher(mesh_builder& m);
// The storey's geometry without starting an object (shared by the escher and its cluster).
void build_escher_module(mesh_builder& m);
// A cluster of smaller escher modules tied together by bridges.
void build_eschers(mesh_builder& m);
// A long hall along z (z from -40 to 40), floor at y = 6 to 7, vaults towards -y: columns,
// transverse arches, arcades, aisle walls with arched windows and an open roof of beams.
void build_transf(mesh_builder& m);
// A swept blade: span along y (+-6), chord along z (about +-3.5), thin along x.
void build_wings(mesh_builder& m);
// Three objects of extruded block letters, lines centred on x = 0.
void build_credits(mesh_builder& m);

}  // namespace meshgen
