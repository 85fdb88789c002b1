// Loading an OBJ file in two passes over its text: a counting pass that sizes every array, then a
// filling pass that reads the values, welds equal corners into one vertex record and
// fan-triangulates the faces. Both read statement by statement with obj_text_reader.
#include <algorithm>
#include <array>
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
#include "assets/obj_mesh_text.h"

namespace {

// The most elements or triangles a mesh holds: three times as many floats or indices still fit
// an int.
constexpr int64_t max_count = INT_MAX / 3;

// Asks for huge pages behind the part of a large array that spans whole huge pages, before it is
// written, so that it costs a few page faults instead of one every 4 KiB.
void advise_huge_pages(const void* data, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  const uintptr_t huge = uintptr_t(2) << 20;
  const uintptr_t first = (uintptr_t(data) + huge - 1) & ~(huge - 1);
  const uintptr_t last = (uintptr_t(data) + bytes) & ~(huge - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

// Gives `v` room for `n` elements in a new buffer that gets huge pages before anything is copied.
template <class T>
void reserve_large(std::vector<T>& v, size_t n) {
  if (n <= v.capacity()) return;
  std::vector<T> bigger;
  bigger.reserve(n);
  advise_huge_pages(bigger.data(), n * sizeof(T));
  bigger.insert(bigger.end(), v.begin(), v.end());
  v.swap(bigger);
}

// Makes `v` `n` zeros.
template <class T>
void zeros(std::vector<T>& v, size_t n) {
  reserve_large(v, n);
  v.assign(n, T{});
}

// Makes room for one more element, at least doubling the capacity when it grows.
template <class T>
void room_for_one(std::vector<T>& v) {
  if (v.size() == v.capacity()) [[unlikely]]
    reserve_large(v, std::max(v.capacity() * 2, size_t(1024)));
}

// What a statement's keyword token opens: its first character decides, and for 'v' the second
// ('\0' where the token ends, as "%s" reads it into a C string).
enum class statement { face, object, use_material, library, position, texcoord, normal, other_v, other };

statement statement_of(std::string_view token) {
  const char second = token.size() > 1 ? token[1] : '\0';
  switch (token[0]) {
    case 'f':
      return statement::face;
    case 'o':
      return statement::object;
    case 'u':
      return statement::use_material;
    case 'm':
      return statement::library;
    case 'v':
      return second == '\0'  ? statement::position
             : second == 't' ? statement::texcoord
             : second == 'n' ? statement::normal
                             : statement::other_v;
    default:
      return statement::other;
  }
}

// The form of a face's corners: "%d//%d", "%d/%d/%d", "%d/%d" or "%d", and which of a corner's
// position, texture coordinate and normal each form carries.
enum face_form { position_normal, position_texcoord_normal, position_texcoord, position_only };
constexpr int numbers_in[] = {2, 3, 2, 1};
constexpr bool carries[4][3] = {
    {true, false, true}, {true, true, true}, {true, true, false}, {true, false, false}};

// A corner's position, texture coordinate and normal index as written: from 1, or negative to
// count back from the last element read.
struct corner {
  int64_t index[3];
};

// Reads one corner in `form`; returns how many numbers converted, or -1 when the text ended
// before the first.
[[gnu::always_inline]] inline int read_corner(obj_text_reader& in, face_form form, corner& c) {
  c = corner{};
  const int got = in.scan_int(c.index[0]);
  if (got <= 0 || form == position_only) return got;
  if (form == position_normal)
    return in.literal('/') && in.literal('/') && in.scan_int(c.index[2]) == 1 ? 2 : 1;
  if (!in.literal('/') || in.scan_int(c.index[1]) != 1) return 1;
  if (form == position_texcoord) return 2;
  return in.literal('/') && in.scan_int(c.index[2]) == 1 ? 3 : 2;
}

// A face's first corner: the form its token decides, and the corner read in that form.
struct first_corner {
  face_form form = position_only;
  int got = -1;  // numbers converted
  corner c{};
};

// The form that a first corner token decides: "//" in it, else the first of "%d/%d/%d" and
// "%d/%d" that converts all its numbers, else "%d". The token is read as a C string.
first_corner first_corner_of(std::string_view token) {
  token = token.substr(0, token.find('\0'));
  first_corner first;
  auto read_as = [&](face_form form) {
    obj_text_reader t{token.data(), token.data() + token.size()};
    first.form = form;
    first.got = read_corner(t, form, first.c);
    return first.got == numbers_in[form];
  };
  if (token.find("//") != std::string_view::npos)
    read_as(position_normal);
  else if (!read_as(position_texcoord_normal) && !read_as(position_texcoord))
    read_as(position_only);
  return first;
}

// Reads a face after its keyword and hands each corner to `add`: the first corner token, two
// corners whatever they convert, then further corners while one converts a number. Returns
// whether every corner carries all the numbers of its form.
template <class corner_sink>
[[gnu::always_inline]] inline bool read_face(obj_text_reader& in, face_form& form, corner_sink add) {
  first_corner first;
  std::string_view token;
  if (in.token(token)) {
    // Three numbers read on past the token that end where it ends are the token, without "//"
    // or '\0' in it; the reading never looked beyond it.
    obj_text_reader t{token.data(), in.end};
    first.got = read_corner(t, position_texcoord_normal, first.c);
    if (first.got == 3 && t.p == token.data() + token.size())
      first.form = position_texcoord_normal;
    else
      first = first_corner_of(token);
  }
  form = first.form;
  const int numbers = numbers_in[form];
  bool complete = first.got == numbers;
  add(first.c);
  corner c;
  for (int k = 1;; ++k) {
    const int n = read_corner(in, form, c);
    if (k > 2 && n <= 0) return complete;
    complete = complete && n == numbers;
    add(c);
  }
}

// Turns an OBJ index into a 0-based one: `read` elements of its kind came before the face and
// the first `limit` may be named. -1 when it names none of them.
int64_t element_index(int64_t index, int64_t read, int64_t limit) {
  const int64_t i = index > 0 ? index - 1 : read + index;
  return (index == 0 || i < 0 || i >= limit) ? -1 : i;
}

// Why a face is skipped: a corner short of the numbers of its form, or an index that names none
// of the elements it may name.
struct face_fault {
  enum { none, short_corner, bad_index } kind = none;
  int element = 0;        // of a bad index: 0 position, 1 texture coordinate, 2 normal
  int64_t index = 0;      // the index as written
  int64_t available = 0;  // elements a positive index may name, or a negative one count back over
};

// The faces a load skips: how many, and where the first one is and what is wrong with it.
struct skipped_faces {
  int64_t count = 0;
  const char* first = nullptr;  // the first skipped face's keyword
  face_fault fault;
};

// The line number (from 1) of the character at `at` in `text`.
int64_t line_of(std::string_view text, const char* at) { return 1 + std::count(text.data(), at, '\n'); }

// "line N: <fault>; K faces skipped" for the faces skipped in `text`, empty when there are none.
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
    const std::string count =
        std::to_string(f.available) + " " + elements[f.element] + (f.available == 1 ? "" : "s");
    why += std::string(elements[f.element]) + " index " + (huge ? "" : std::to_string(f.index) + " ") +
           "out of range (" +
           (f.index == 0  ? "indices start at 1"
            : f.index < 0 ? count + " before the face"
                          : "the file has " + count) +
           ")";
  }
  return why + (skipped.count == 1 ? "; the face is skipped"
                                   : "; " + std::to_string(skipped.count) + " faces skipped");
}

// Counts a material-library statement. One blank material stands for all of them: the named
// files are never opened and nothing reads the blank records, and one per statement would let a
// file of short 'm' lines fill memory a hundred times its size.
void add_material_library(obj_mesh& mesh) {
  if (mesh.library_count++ == 0) mesh.materials.emplace_back();
}

// The material used when the file names no material library.
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

// The material a material-use statement selects: the one named by the first word of the rest of
// its line, or material 0 when there is no such material.
int material_named(const obj_mesh& mesh, std::string_view line) {
  obj_text_reader words{line.data(), line.data() + line.size()};
  std::string_view name;
  if (!words.token(name)) name = {};
  const auto found = mesh.material_index.find(std::string(name.substr(0, name.find('\0'))));
  return found == mesh.material_index.end() ? 0 : found->second;
}

// The counting pass. False when a count outgrows the arrays' index range.
bool count_statements(obj_mesh& mesh, obj_text_reader in) {
  int64_t count[3] = {0, 0, 0}, triangles = 0;
  face_form form;
  std::string_view token;
  while (in.token(token)) {
    const statement s = statement_of(token);
    switch (s) {
      case statement::face:
        triangles -= 2;
        read_face(in, form, [&](const corner&) { ++triangles; });
        break;
      case statement::library:
        in.skip_line();
        add_material_library(mesh);
        break;
      case statement::position:
      case statement::texcoord:
      case statement::normal:
        count[int(s) - int(statement::position)]++;
        in.skip_line();
        break;
      case statement::other_v:
        break;
      default:
        in.skip_line();
        break;
    }
  }
  // The counts only grow: one beyond the limit at the end was beyond it from some statement on.
  if (std::max({triangles, count[0], count[1], count[2]}) > max_count) {
    mesh.problem = "more elements or triangles than a mesh can index";
    return false;
  }
  mesh.position_count = int(count[0]);
  mesh.texcoord_count = int(count[1]);
  mesh.normal_count = int(count[2]);
  mesh.triangle_count = int(triangles);
  mesh.has_positions = count[0] > 0;
  mesh.has_texcoords = count[1] > 0;
  mesh.has_normals = count[2] > 0;
  zeros(mesh.positions, size_t(count[0]) * 3);
  zeros(mesh.texcoords, size_t(count[1]) * 2);
  zeros(mesh.normals, size_t(count[2]) * 3);
  zeros(mesh.triangles, size_t(triangles) * 3);
  zeros(mesh.triangle_materials, size_t(triangles));
  if (mesh.library_count == 0) add_default_material(mesh);
  return true;
}

// Where welding looks up a record of a position with a long list: a hash of the position index
// and the record's first 32 bytes, the only bytes that can differ (the trailing floats are zero).
uint64_t weld_hash(size_t position, const char* bytes) {
  uint64_t h = (uint64_t(position) + 1) * 0x9E3779B97F4A7C15u;
  for (int i = 0; i < 4; ++i) {
    uint64_t word;
    std::memcpy(&word, bytes + 8 * i, 8);
    h = (h ^ word) * 0xBF58476D1CE4E5B9u;
    h ^= h >> 31;
  }
  return h;
}

// The first slot of the probe sequence of a record.
size_t first_slot(const weld_table& table, size_t position, const char* bytes) {
  return size_t(weld_hash(position, bytes) >> (64 - __builtin_ctzll(table.slots.size())));
}

// Puts record `record`, made from position `position`, into the hash, first doubling the slots
// (to at least 1024) when they would be more than half full.
void hash_record(obj_mesh& mesh, size_t position, uint32_t record) {
  weld_table& table = mesh.weld_index;
  if (2 * (table.hashed + 1) > table.slots.size()) {
    std::vector<weld_table::slot> old;
    old.swap(table.slots);
    const size_t count = std::max(old.size() * 2, size_t(1024));
    reserve_large(table.slots, count);
    table.slots.assign(count, {weld_table::empty_slot, 0});
    table.hashed = 0;
    for (const weld_table::slot& s : old)
      if (s.record != weld_table::empty_slot) hash_record(mesh, s.position, s.record);
  }
  const size_t mask = table.slots.size() - 1;
  size_t at = first_slot(table, position, reinterpret_cast<const char*>(&mesh.vertices[record]));
  while (table.slots[at].record != weld_table::empty_slot) at = (at + 1) & mask;
  table.slots[at] = {record, uint32_t(position)};
  table.hashed++;
}

// Returns the index of the record equal to `wanted` (its first 32 bytes; all 60 bit for bit)
// among those made from position `position`, appending it to the vertex array and to the
// position's list when there is none. The records of a position are compared in list order
// while it has at most weld_table::scanned_records (most have one or two); the records of a
// position with more are all in the hash, and looked up there.
uint32_t weld(obj_mesh& mesh, size_t position, const char* wanted) {
  weld_table& table = mesh.weld_index;
  int i = table.head[position];
  int scanned = 0;
  for (; i >= 0 && scanned < weld_table::scanned_records; i = table.next[size_t(i)], ++scanned) {
    ++table.comparisons;
    if (std::memcmp(&mesh.vertices[size_t(i)], wanted, 32) == 0) return uint32_t(i);
  }
  const bool hashed = i >= 0;
  if (hashed) {
    const size_t mask = table.slots.size() - 1;
    for (size_t at = first_slot(table, position, wanted); table.slots[at].record != weld_table::empty_slot;
         at = (at + 1) & mask) {
      const weld_table::slot s = table.slots[at];
      ++table.comparisons;
      if (s.position == position && std::memcmp(&mesh.vertices[s.record], wanted, 32) == 0) return s.record;
    }
  }
  const int index = int(mesh.vertices.size());
  room_for_one(mesh.vertices);
  room_for_one(table.next);
  std::memcpy(&mesh.vertices.emplace_back(), wanted, 32);
  table.next.push_back(-1);
  (table.head[position] < 0 ? table.head[position] : table.next[size_t(table.tail[position])]) = index;
  table.tail[position] = index;
  if (hashed) {
    hash_record(mesh, position, uint32_t(index));
  } else if (scanned == weld_table::scanned_records) {
    // The position's list has just outgrown the scan: from now on all its records are hashed.
    for (int r = table.head[position]; r >= 0; r = table.next[size_t(r)])
      hash_record(mesh, position, uint32_t(r));
  }
  return uint32_t(index);
}

// The filling pass. False (with the problem in mesh.problem) when the file does not describe a
// mesh that can be built safely: more statements than the counting pass found (text that the two
// passes read differently), or counted faces that none of the statements read. A face with a
// fault is skipped: it makes no records and no triangles.
bool fill_statements(obj_mesh& mesh, std::string_view text) {
  obj_text_reader in{text.data(), text.data() + text.size()};
  int64_t read[3] = {0, 0, 0}, t = 0, skipped_triangles = 0;
  const int64_t total[3] = {mesh.position_count, mesh.texcoord_count, mesh.normal_count};
  float* const values[3] = {mesh.positions.data(), mesh.texcoords.data(), mesh.normals.data()};
  skipped_faces skipped;
  int material = 0;
  mesh.groups.clear();
  weld_table& table = mesh.weld_index;
  table.head.assign(size_t(mesh.position_count), -1);
  table.tail.assign(size_t(mesh.position_count), -1);
  // A closed mesh has about as many vertices as positions, and no mesh more than three per triangle.
  reserve_large(mesh.vertices,
                size_t(std::min<int64_t>(mesh.position_count, int64_t(mesh.triangle_count) * 3)));
  reserve_large(table.next, mesh.vertices.capacity());
  std::vector<std::array<uint32_t, 3>> corners;  // the current face's, 0-based
  std::string_view token;
  auto run_on = [&] {
    mesh.problem = "line " + std::to_string(line_of(text, token.data())) +
                   ": the numbers of a statement run on into other statements";
    return false;
  };
  while (in.token(token)) {
    const statement s = statement_of(token);
    switch (s) {
      case statement::face: {
        face_form form;
        face_fault fault;
        corners.clear();
        const bool complete = read_face(in, form, [&](const corner& c) {
          std::array<uint32_t, 3> named{};
          for (int e = 0; e < 3; ++e) {
            if (!carries[form][e]) continue;
            const int64_t i = element_index(c.index[e], read[e], total[e]);
            if (i < 0 && fault.kind == face_fault::none)
              fault = {face_fault::bad_index, e, c.index[e], c.index[e] < 0 ? read[e] : total[e]};
            named[size_t(e)] = uint32_t(i);
          }
          corners.push_back(named);
        });
        if (!complete) fault = {face_fault::short_corner};
        if (fault.kind != face_fault::none) {
          if (skipped.count++ == 0) skipped.first = token.data(), skipped.fault = fault;
          skipped_triangles += int64_t(corners.size()) - 2;
          break;
        }
        // Each corner's record, welded; the fan's triangles as soon as their corners are known.
        uint32_t first = 0, previous = 0;
        for (size_t k = 0; k < corners.size(); ++k) {
          const std::array<uint32_t, 3>& c = corners[k];
          char wanted[32] = {};
          std::memcpy(wanted, &mesh.positions[size_t(c[0]) * 3], 12);
          if (carries[form][1]) std::memcpy(wanted + 12, &mesh.texcoords[size_t(c[1]) * 2], 8);
          if (carries[form][2]) std::memcpy(wanted + 20, &mesh.normals[size_t(c[2]) * 3], 12);
          const uint32_t record = weld(mesh, c[0], wanted);
          if (k == 0) first = record;
          if (k >= 2) {
            if (t >= mesh.triangle_count) return run_on();
            uint32_t* triangle = &mesh.triangles[size_t(t) * 3];
            triangle[0] = first;
            triangle[1] = previous;
            triangle[2] = record;
            mesh.triangle_materials[size_t(t++)] = material;
          }
          previous = record;
        }
        break;
      }
      case statement::object:
        mesh.groups.push_back(int(t));
        in.token(token);
        break;
      case statement::use_material:
        material = material_named(mesh, in.rest_of_line());
        break;
      case statement::position:
      case statement::texcoord:
      case statement::normal: {
        const int e = int(s) - int(statement::position), numbers = e == 1 ? 2 : 3;
        if (read[e] >= total[e]) return run_on();
        // "%f %f %f" or "%f %f", up to the first number that does not convert.
        float* out = values[e] + size_t(read[e]++) * size_t(numbers);
        for (int i = 0; i < numbers && in.scan_float(out[i]) == 1;) ++i;
        break;
      }
      case statement::other_v:
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
    if (!count_statements(*this, {text.data(), text.data() + text.size()}) || !fill_statements(*this, text)) {
      std::string why = std::move(problem);
      *this = obj_mesh{};
      problem = std::move(why);
      return false;
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
      const size_t size = size_t(info.st_size);
      int flags = MAP_PRIVATE;
#if defined(MAP_POPULATE)
      flags |= MAP_POPULATE;
#endif
      void* mapped = mmap(nullptr, size, PROT_READ, flags, fileno(in.get()), 0);
      if (mapped != MAP_FAILED) {
        in.reset();
        const bool result =
            load_text(std::string_view(static_cast<const char*>(mapped), size), recompute_normals);
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

std::vector<int> weld_table::records_of(int position) const {
  std::vector<int> records;
  if (position < 0 || size_t(position) >= head.size()) return records;
  for (int i = head[size_t(position)]; i >= 0; i = next[size_t(i)]) records.push_back(i);
  return records;
}
