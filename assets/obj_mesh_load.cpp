// Loading an OBJ file. The reading is defined by two passes over the text: a counting pass that
// sizes every array, then a filling pass that reads the values, welds equal corners into one
// vertex record and fan-triangulates the faces. Most files read the same in both passes, and one
// pass with growing arrays gives identical results faster; the two passes run only when that
// pass meets text they could read differently.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#if defined(__unix__)
#include <sys/mman.h>
#include <sys/stat.h>
#endif

#include "assets/obj_mesh.h"
#include "assets/obj_mesh_statements.h"
#include "assets/obj_mesh_text.h"

using namespace obj_statements;

bool load_in_one_pass(obj_mesh& mesh, std::string_view text);

namespace {

constexpr int64_t max_count = INT_MAX / 3;

// The counting pass. False when a count outgrows the arrays' index range.
bool count_statements(obj_mesh& mesh, std::string_view text) {
  obj_text_reader in{text.data(), text.data() + text.size()};
  element_counts count;
  int64_t triangles = 0;
  face f;
  std::string_view token;
  while (in.token(token)) {
    switch (keyword_of(token)) {
      case keyword::face:
        read_face(in, f);
        triangles += int64_t(f.corners.size()) - 2;
        break;
      case keyword::material_library:
        in.rest_of_line();
        add_material_library(mesh);
        break;
      case keyword::position:
        count.position++;
        in.skip_line();
        break;
      case keyword::texcoord:
        count.texcoord++;
        in.skip_line();
        break;
      case keyword::normal:
        count.normal++;
        in.skip_line();
        break;
      case keyword::other_v:
        break;
      default:
        in.skip_line();
        break;
    }
    if (triangles > max_count || count.position > max_count || count.texcoord > max_count ||
        count.normal > max_count) {
      mesh.problem = "more elements or triangles than a mesh can index";
      return false;
    }
  }
  mesh.position_count = int(count.position);
  mesh.texcoord_count = int(count.texcoord);
  mesh.normal_count = int(count.normal);
  mesh.triangle_count = int(triangles);
  mesh.has_positions = count.position > 0;
  mesh.has_texcoords = count.texcoord > 0;
  mesh.has_normals = count.normal > 0;
  mesh.positions.assign(size_t(count.position) * 3, 0.0f);
  mesh.texcoords.assign(size_t(count.texcoord) * 2, 0.0f);
  mesh.normals.assign(size_t(count.normal) * 3, 0.0f);
  mesh.triangles.assign(size_t(triangles) * 3, 0u);
  mesh.triangle_materials.assign(size_t(triangles), 0);
  if (mesh.library_count == 0) add_default_material(mesh);
  return true;
}

// Reads up to `count` numbers ("%f %f %f") into `out`, stopping at the first that fails.
void read_floats(obj_text_reader& in, float* out, int count) {
  for (int i = 0; i < count; ++i)
    if (in.scan_float(out[i]) != 1) return;
}

// The filling pass. False (with the problem in mesh.problem) when the file does not describe a
// mesh that can be built safely: more statements than the counting pass found (text that the two
// passes read differently), or counted faces that none of the statements read. A face with a
// fault is skipped: it makes no records and no triangles.
bool fill_statements(obj_mesh& mesh, std::string_view text) {
  obj_text_reader in{text.data(), text.data() + text.size()};
  element_counts read;
  const element_counts total{mesh.position_count, mesh.texcoord_count, mesh.normal_count};
  int64_t t = 0, skipped_triangles = 0;
  skipped_faces skipped;
  int material = 0;
  mesh.groups.clear();
  mesh.weld_index.head.assign(size_t(mesh.position_count), -1);
  mesh.weld_index.tail.assign(size_t(mesh.position_count), -1);
  face f;
  std::vector<uint32_t> records;
  std::string_view token;
  auto run_on = [&]() {
    mesh.problem = "line " + std::to_string(line_of(text, token.data())) +
                   ": the numbers of a statement run on into other statements";
    return false;
  };
  while (in.token(token)) {
    switch (keyword_of(token)) {
      case keyword::face: {
        read_face(in, f);
        const face_fault fault = check_face(f, read, total);
        if (fault.kind != face_fault::none) {
          skipped.add(token.data(), fault);
          skipped_triangles += int64_t(f.corners.size()) - 2;
          break;
        }
        weld_face(mesh, f, read, total, records);
        for (size_t k = 2; k < records.size(); ++k, ++t) {
          if (t >= mesh.triangle_count) return run_on();
          uint32_t* triangle = &mesh.triangles[size_t(t) * 3];
          triangle[0] = records[0];
          triangle[1] = records[k - 1];
          triangle[2] = records[k];
          mesh.triangle_materials[size_t(t)] = material;
        }
        break;
      }
      case keyword::object:
        mesh.groups.push_back(int(t));
        in.token(token);
        break;
      case keyword::use_material:
        material = material_named(mesh, in.rest_of_line());
        break;
      case keyword::position:
        if (read.position >= total.position) return run_on();
        read_floats(in, &mesh.positions[size_t(read.position++) * 3], 3);
        break;
      case keyword::texcoord:
        if (read.texcoord >= total.texcoord) return run_on();
        read_floats(in, &mesh.texcoords[size_t(read.texcoord++) * 2], 2);
        break;
      case keyword::normal:
        if (read.normal >= total.normal) return run_on();
        read_floats(in, &mesh.normals[size_t(read.normal++) * 3], 3);
        break;
      case keyword::other_v:
        break;
      default:
        in.skip_line();
        break;
    }
  }
  mesh.groups.push_back(int(t));
  // The skipped faces' triangles were counted; those after the last one filled go.
  const int64_t kept = mesh.triangle_count - skipped_triangles;
  if (kept < t) {
    mesh.problem = "the numbers of statements run on into other statements";
    return false;
  }
  mesh.triangle_count = int(kept);
  mesh.triangles.resize(size_t(kept) * 3);
  mesh.triangle_materials.resize(size_t(kept));
  mesh.problem = describe(text, skipped);
  // Triangles counted but never filled keep the indices 0, which need a vertex to point at.
  if (mesh.triangle_count > 0 && mesh.vertices.empty()) {
    mesh.problem =
        "faces that the statements before them hide (an 'o' statement takes the next word for its name)";
    return false;
  }
  return true;
}

}  // namespace

namespace obj_statements {

void advise_huge_pages(const void* data, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  const uintptr_t huge = uintptr_t(2) << 20;
  uintptr_t first = (uintptr_t(data) + huge - 1) & ~(huge - 1);
  uintptr_t last = (uintptr_t(data) + bytes) & ~(huge - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

face_form first_corner(std::string_view token, corner& c, int& converted) {
  token = token.substr(0, token.find('\0'));
  auto from_token = [&](face_form form) {
    obj_text_reader in{token.data(), token.data() + token.size()};
    c = corner{};
    converted = read_corner(in, form, c);
    return form;
  };
  if (token.find("//") != std::string_view::npos) return from_token(face_form::position_normal);
  from_token(face_form::position_texcoord_normal);
  if (converted == 3) return face_form::position_texcoord_normal;
  from_token(face_form::position_texcoord);
  if (converted == 2) return face_form::position_texcoord;
  return from_token(face_form::position);
}

void add_default_material(obj_mesh& mesh) {
  obj_material standard;
  standard.name = "default";
  const float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f}, diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
  std::memcpy(standard.ambient, ambient, sizeof ambient);
  std::memcpy(standard.diffuse, diffuse, sizeof diffuse);
  standard.specular[3] = 1.0f;
  standard.dissolve = 1.0f;
  mesh.materials.push_back(standard);
  mesh.material_index["default"] = 0;
}

int64_t line_of(std::string_view text, const char* at) {
  int64_t line = 1;
  for (const char* s = text.data(); s < at;) {
    const void* feed = std::memchr(s, '\n', size_t(at - s));
    if (!feed) break;
    s = static_cast<const char*>(feed) + 1;
    ++line;
  }
  return line;
}

std::string describe(std::string_view text, const skipped_faces& skipped) {
  if (skipped.count == 0) return "";
  static const char* const elements[] = {"position", "texture coordinate", "normal"};
  const face_fault& f = skipped.fault;
  std::string why = "line " + std::to_string(line_of(text, skipped.first)) + ": ";
  if (f.kind == face_fault::short_corner) {
    why += "a face corner lacks a number of its form";
  } else {
    // An index far beyond any count was read saturated: its digits are not worth repeating.
    const bool huge = f.index >= int64_t(1) << 62 || f.index <= -(int64_t(1) << 62);
    why += std::string(elements[f.element]) + " index " + (huge ? "" : std::to_string(f.index) + " ") +
           "out of range (";
    const std::string count =
        std::to_string(f.available) + " " + elements[f.element] + (f.available == 1 ? "" : "s");
    why += f.index == 0  ? "indices start at 1"
           : f.index < 0 ? count + " before the face"
                         : "the file has " + count;
    why += ")";
  }
  why +=
      skipped.count == 1 ? "; the face is skipped" : "; " + std::to_string(skipped.count) + " faces skipped";
  return why;
}

int material_named(const obj_mesh& mesh, std::string_view line) {
  obj_text_reader words{line.data(), line.data() + line.size()};
  std::string_view name;
  if (!words.token(name)) name = {};
  auto found = mesh.material_index.find(std::string(name.substr(0, name.find('\0'))));
  return found == mesh.material_index.end() ? 0 : found->second;
}

}  // namespace obj_statements

namespace {

// Why a mesh that loaded will show nothing, or an empty text when it will show something.
std::string nothing_to_draw(const obj_mesh& mesh, std::string_view text) {
  if (text.empty()) return "empty";
  if (mesh.triangle_count == 0) return "no faces";
  if (mesh.groups.size() < 2) return "no object ('o') statement, so nothing of it is drawn";
  return "";
}

}  // namespace

bool obj_mesh::load_text(std::string_view text, bool recompute_normals) {
  try {
    *this = obj_mesh{};
    loaded = true;
    if (!load_in_one_pass(*this, text)) {
      *this = obj_mesh{};
      loaded = true;
      if (!count_statements(*this, text) || !fill_statements(*this, text)) {
        std::string why = std::move(problem);
        *this = obj_mesh{};
        problem = std::move(why);
        return false;
      }
    }
    if (recompute_normals || !has_normals) generate_normals(*this);
    const std::string empty = nothing_to_draw(*this, text);
    if (!empty.empty()) problem += (problem.empty() ? "" : "; ") + empty;
    return true;
  } catch (const std::bad_alloc&) {
    // Whatever was built is released; the mesh stays unloaded, like one whose file is damaged.
    *this = obj_mesh{};
    problem = "out of memory";
    return false;
  }
}

bool obj_mesh::load(const char* file, bool recompute_normals) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(file, "rb"), std::fclose);
  if (!in) {
    problem = std::string("cannot open: ") + std::strerror(errno);
    return false;
  }
  std::string text;
  int read_error = 0;
  try {
#if defined(__unix__)
    // A regular file is mapped: its text comes straight from the page cache, without a copy.
    struct stat info;
    if (fstat(fileno(in.get()), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
      size_t size = size_t(info.st_size);
      int flags = MAP_PRIVATE;
#if defined(MAP_POPULATE)
      flags |= MAP_POPULATE;
#endif
      void* mapped = mmap(nullptr, size, PROT_READ, flags, fileno(in.get()), 0);
      if (mapped != MAP_FAILED) {
        in.reset();
        bool result = load_text(std::string_view(static_cast<const char*>(mapped), size), recompute_normals);
        munmap(mapped, size);
        return result;
      }
      text.reserve(size);
    }
#endif
    // Anything else (a pipe, a device, a directory that opens but reads nothing) is read to its end.
    char chunk[1 << 16];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, in.get())) > 0;) text.append(chunk, got);
    if (std::ferror(in.get())) read_error = errno;
  } catch (const std::bad_alloc&) {
    *this = obj_mesh{};
    problem = "out of memory";
    return false;
  }
  in.reset();
  const bool result = load_text(text, recompute_normals);
  // What could be read loads; the problem says why that is all.
  if (read_error != 0) problem = std::string("cannot read: ") + std::strerror(read_error);
  return result;
}

void obj_statements::grow_weld_slots(obj_mesh& mesh) {
  weld_table& table = mesh.weld_index;
  std::vector<weld_table::slot> slots;
  const size_t count = std::max(table.slots.size() * 2, size_t(1024));
  slots.reserve(count);
  advise_huge_pages(slots.data(), count * sizeof(weld_table::slot));
  slots.assign(count, {weld_table::empty_slot, 0});
  const int bits = __builtin_ctzll(count);
  for (const weld_table::slot& s : table.slots) {
    if (s.record == weld_table::empty_slot) continue;
    const char* bytes = reinterpret_cast<const char*>(&mesh.vertices[s.record]);
    size_t i = size_t(weld_hash(s.position, bytes) >> (64 - bits));
    while (slots[i].record != weld_table::empty_slot) i = (i + 1) & (count - 1);
    slots[i] = s;
  }
  table.slots.swap(slots);
}

std::vector<int> weld_table::records_of(int position) const {
  std::vector<int> records;
  if (position < 0 || size_t(position) >= head.size()) return records;
  for (int i = head[size_t(position)]; i >= 0; i = next[size_t(i)]) records.push_back(i);
  return records;
}
