#include "assets/tests/obj_tinyobj.h"

#include <tiny_obj_loader.h>

#include <string>

bool tinyobj_corners(const char* file, std::vector<obj_corner>& corners) {
  tinyobj::attrib_t attrib;
  std::vector<tinyobj::shape_t> shapes;
  std::vector<tinyobj::material_t> materials;
  std::string warnings, errors;
  if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warnings, &errors, file, nullptr, false)) return false;
  corners.clear();
  auto corner = [&](const tinyobj::index_t& i) {
    obj_corner c{};
    for (int k = 0; k < 3; ++k) c[size_t(k)] = attrib.vertices[size_t(3 * i.vertex_index + k)];
    if (i.texcoord_index >= 0)
      for (int k = 0; k < 2; ++k) c[size_t(3 + k)] = attrib.texcoords[size_t(2 * i.texcoord_index + k)];
    if (i.normal_index >= 0)
      for (int k = 0; k < 3; ++k) c[size_t(5 + k)] = attrib.normals[size_t(3 * i.normal_index + k)];
    return c;
  };
  for (const tinyobj::shape_t& shape : shapes) {
    size_t first = 0;
    for (unsigned char count : shape.mesh.num_face_vertices) {
      const tinyobj::index_t* face = &shape.mesh.indices[first];
      for (size_t k = 2; k < count; ++k) {
        corners.push_back(corner(face[0]));
        corners.push_back(corner(face[k - 1]));
        corners.push_back(corner(face[k]));
      }
      first += count;
    }
  }
  return true;
}

std::vector<obj_corner> mesh_corners(const obj_mesh& mesh) {
  std::vector<obj_corner> corners;
  corners.reserve(mesh.triangles.size());
  for (uint32_t index : mesh.triangles) {
    const vertex_record& v = mesh.vertices[index];
    corners.push_back({v.position[0], v.position[1], v.position[2], v.texcoord[0], v.texcoord[1], v.normal[0],
                       v.normal[1], v.normal[2]});
  }
  return corners;
}
