#include "assets/tests/obj_reference.h"

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum { position_normal = 1, full = 3, position_texcoord = 2, position_only = 4 };

int numbers_in(int form) { return form == full ? 3 : form == position_only ? 1 : 2; }

int read_corner(std::FILE* in, int form, int* c) {
  switch (form) {
    case position_normal:
      return std::fscanf(in, "%d//%d", &c[0], &c[2]);
    case full:
      return std::fscanf(in, "%d/%d/%d", &c[0], &c[1], &c[2]);
    case position_texcoord:
      return std::fscanf(in, "%d/%d", &c[0], &c[1]);
    default:
      return std::fscanf(in, "%d", &c[0]);
  }
}

struct corner {
  int c[3] = {0, 0, 0};
};

// Reads a face; false when a corner lacks numbers of its form.
bool read_face(std::FILE* in, int& form, std::vector<corner>& corners) {
  corners.clear();
  char token[256] = "";
  corner first;
  int got = -1;
  form = position_only;
  if (std::fscanf(in, "%255s", token) == 1) {
    if (std::strstr(token, "//")) {
      form = position_normal;
      got = std::sscanf(token, "%d//%d", &first.c[0], &first.c[2]);
    } else if ((got = std::sscanf(token, "%d/%d/%d", &first.c[0], &first.c[1], &first.c[2])) == 3) {
      form = full;
    } else if (first = corner{}, (got = std::sscanf(token, "%d/%d", &first.c[0], &first.c[1])) == 2) {
      form = position_texcoord;
    } else {
      first = corner{};
      got = std::sscanf(token, "%d", &first.c[0]);
    }
  }
  bool complete = got == numbers_in(form);
  corners.push_back(first);
  for (int i = 0; i < 2; ++i) {
    corner c;
    if (read_corner(in, form, c.c) != numbers_in(form)) complete = false;
    corners.push_back(c);
  }
  for (;;) {
    corner c;
    int n = read_corner(in, form, c.c);
    if (n <= 0) break;
    if (n != numbers_in(form)) complete = false;
    corners.push_back(c);
  }
  return complete;
}

void skip_line(std::FILE* in) {
  char line[256];
  if (!std::fgets(line, sizeof line, in)) return;
}

long resolve(int index, int read, int total) {
  long i = index > 0 ? long(index) - 1 : long(read) + index;
  return (index == 0 || i < 0 || i >= total) ? -1 : i;
}

}  // namespace

bool reference_load(std::FILE* in, bool recompute_normals, obj_mesh& mesh) {
  mesh.loaded = true;
  char token[256];
  std::vector<corner> corners;
  int form;
  long triangles = 0;
  while (std::fscanf(in, "%255s", token) == 1) {
    switch (token[0]) {
      case 'f':
        read_face(in, form, corners);
        triangles += long(corners.size()) - 2;
        break;
      case 'm':
        skip_line(in);
        if (mesh.library_count++ == 0) mesh.materials.emplace_back();
        break;
      case 'v':
        if (token[1] == '\0') mesh.position_count++;
        if (token[1] == 'n') mesh.normal_count++;
        if (token[1] == 't') mesh.texcoord_count++;
        if (token[1] == '\0' || token[1] == 'n' || token[1] == 't') skip_line(in);
        break;
      default:
        skip_line(in);
    }
  }
  mesh.triangle_count = int(triangles);
  mesh.has_positions = mesh.position_count > 0;
  mesh.has_texcoords = mesh.texcoord_count > 0;
  mesh.has_normals = mesh.normal_count > 0;
  mesh.positions.assign(size_t(mesh.position_count) * 3, 0.0f);
  mesh.texcoords.assign(size_t(mesh.texcoord_count) * 2, 0.0f);
  mesh.normals.assign(size_t(mesh.normal_count) * 3, 0.0f);
  mesh.triangles.assign(size_t(mesh.triangle_count) * 3, 0u);
  mesh.triangle_materials.assign(size_t(mesh.triangle_count), 0);
  if (mesh.library_count == 0) {
    obj_material standard;
    standard.name = "default";
    mesh.materials.push_back(standard);
    mesh.material_index["default"] = 0;
  }

  std::rewind(in);
  int v = 0, vt = 0, vn = 0, t = 0, material = 0;
  long skipped_triangles = 0;
  std::vector<std::vector<int>> weld(size_t(mesh.position_count));
  while (std::fscanf(in, "%255s", token) == 1) {
    switch (token[0]) {
      case 'f': {
        // A face with a short corner or an index naming no element is skipped whole.
        bool usable = read_face(in, form, corners);
        const bool texcoords = form == full || form == position_texcoord;
        const bool normals = form == full || form == position_normal;
        for (const corner& c : corners)
          usable = usable && resolve(c.c[0], v, mesh.position_count) >= 0 &&
                   (!texcoords || resolve(c.c[1], vt, mesh.texcoord_count) >= 0) &&
                   (!normals || resolve(c.c[2], vn, mesh.normal_count) >= 0);
        if (!usable) {
          skipped_triangles += long(corners.size()) - 2;
          break;
        }
        std::vector<uint32_t> records;
        for (const corner& c : corners) {
          vertex_record r{};
          long p = resolve(c.c[0], v, mesh.position_count);
          std::memcpy(r.position, &mesh.positions[size_t(p) * 3], 12);
          if (texcoords)
            std::memcpy(r.texcoord, &mesh.texcoords[size_t(resolve(c.c[1], vt, mesh.texcoord_count)) * 2], 8);
          if (normals)
            std::memcpy(r.normal, &mesh.normals[size_t(resolve(c.c[2], vn, mesh.normal_count)) * 3], 12);
          int found = -1;
          for (int index : weld[size_t(p)])
            if (std::memcmp(&mesh.vertices[size_t(index)], &r, sizeof r) == 0) {
              found = index;
              break;
            }
          if (found < 0) {
            found = int(mesh.vertices.size());
            mesh.vertices.push_back(r);
            weld[size_t(p)].push_back(found);
          }
          records.push_back(uint32_t(found));
        }
        for (size_t k = 2; k < records.size(); ++k, ++t) {
          if (t >= mesh.triangle_count) return false;
          mesh.triangles[size_t(t) * 3] = records[0];
          mesh.triangles[size_t(t) * 3 + 1] = records[k - 1];
          mesh.triangles[size_t(t) * 3 + 2] = records[k];
          mesh.triangle_materials[size_t(t)] = material;
        }
        break;
      }
      case 'o':
        mesh.groups.push_back(t);
        std::fscanf(in, "%255s", token);
        break;
      case 'u': {
        char line[256] = "", name[256] = "";
        if (std::fgets(line, sizeof line, in)) std::sscanf(line, "%255s", name);
        auto found = mesh.material_index.find(name);
        material = found == mesh.material_index.end() ? 0 : found->second;
        break;
      }
      case 'v':
        if (token[1] == '\0') {
          if (v >= mesh.position_count) return false;
          float* p = &mesh.positions[size_t(v++) * 3];
          std::fscanf(in, "%f %f %f", &p[0], &p[1], &p[2]);
        } else if (token[1] == 'n') {
          if (vn >= mesh.normal_count) return false;
          float* p = &mesh.normals[size_t(vn++) * 3];
          std::fscanf(in, "%f %f %f", &p[0], &p[1], &p[2]);
        } else if (token[1] == 't') {
          if (vt >= mesh.texcoord_count) return false;
          float* p = &mesh.texcoords[size_t(vt++) * 2];
          std::fscanf(in, "%f %f", &p[0], &p[1]);
        }
        break;
      default:
        skip_line(in);
    }
  }
  mesh.groups.push_back(t);
  if (mesh.triangle_count - skipped_triangles < t) return false;
  mesh.triangle_count -= int(skipped_triangles);
  mesh.triangles.resize(size_t(mesh.triangle_count) * 3);
  mesh.triangle_materials.resize(size_t(mesh.triangle_count));
  // The weld lists in the mesh's own linked form.
  mesh.weld_index.head.assign(weld.size(), -1);
  mesh.weld_index.tail.assign(weld.size(), -1);
  mesh.weld_index.next.assign(mesh.vertices.size(), -1);
  for (size_t p = 0; p < weld.size(); ++p)
    for (size_t k = 0; k < weld[p].size(); ++k) {
      if (k == 0) mesh.weld_index.head[p] = weld[p][k];
      if (k + 1 < weld[p].size()) mesh.weld_index.next[size_t(weld[p][k])] = weld[p][k + 1];
      mesh.weld_index.tail[p] = weld[p][k];
    }
  if (mesh.triangle_count > 0 && mesh.vertices.empty()) return false;
  if (recompute_normals || !mesh.has_normals) generate_normals(mesh);
  return true;
}

bool reference_load_text(std::string_view text, bool recompute_normals, obj_mesh& mesh) {
  std::string copy(text);
  std::FILE* in = copy.empty() ? std::tmpfile() : fmemopen(copy.data(), copy.size(), "r");
  bool ok = reference_load(in, recompute_normals, mesh);
  std::fclose(in);
  return ok;
}

bool reference_applies(std::string_view text) {
  size_t line = 0, digits = 0;
  for (char c : text) {
    line = c == '\n' ? 0 : line + 1;
    digits = (c >= '0' && c <= '9') ? digits + 1 : 0;
    if (line > 250 || digits > 9) return false;
  }
  return true;
}

namespace {

template <typename T>
bool same_bytes(const std::vector<T>& a, const std::vector<T>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

}  // namespace

std::string mesh_difference(const obj_mesh& e, const obj_mesh& a) {
  if (e.loaded != a.loaded) return "loaded";
  if (e.has_positions != a.has_positions || e.has_texcoords != a.has_texcoords ||
      e.has_normals != a.has_normals)
    return "flags";
  if (e.position_count != a.position_count || e.texcoord_count != a.texcoord_count ||
      e.normal_count != a.normal_count || e.triangle_count != a.triangle_count ||
      e.library_count != a.library_count)
    return "counts";
  if (e.groups != a.groups) return "groups";
  if (e.materials.size() != a.materials.size() || e.material_index != a.material_index) return "materials";
  if (!same_bytes(e.positions, a.positions)) return "positions";
  if (!same_bytes(e.texcoords, a.texcoords)) return "texcoords";
  if (!same_bytes(e.normals, a.normals)) return "normals";
  if (!same_bytes(e.vertices, a.vertices)) return "vertices";
  if (e.triangles != a.triangles) return "triangles";
  if (e.triangle_materials != a.triangle_materials) return "triangle_materials";
  for (int p = 0; p < e.position_count; ++p)
    if (e.weld_index.records_of(p) != a.weld_index.records_of(p)) return "weld_index";
  return "";
}
