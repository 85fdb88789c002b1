#pragma once
// What both ways of loading an OBJ text share: statement keywords, faces and their corners, and
// the welding of corners into vertex records.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "assets/obj_mesh.h"
#include "assets/obj_mesh_text.h"

namespace obj_statements {

// Asks for huge pages behind the part of [data, data + bytes) that spans whole huge pages, so a
// large array that is about to be written costs a few page faults instead of one every 4 KiB.
void advise_huge_pages(const void* data, size_t bytes);

// Gives `v` room for `n` elements; a large new buffer gets huge pages before the elements are
// copied into it (a copy first would fault its pages in one at a time).
template <class T>
void reserve_large(std::vector<T>& v, size_t n) {
  if (n <= v.capacity()) return;
  std::vector<T> bigger;
  bigger.reserve(n);
  advise_huge_pages(bigger.data(), n * sizeof(T));
  bigger.insert(bigger.end(), v.begin(), v.end());
  v.swap(bigger);
}

// Gives `v` room for `more` further elements, at least doubling its capacity when it grows.
template <class T>
[[gnu::noinline]] void grow(std::vector<T>& v, size_t more) {
  reserve_large(v, std::max({v.capacity() * 2, v.size() + more, size_t(1024)}));
}
template <class T>
[[gnu::always_inline]] inline void make_room(std::vector<T>& v, size_t more) {
  if (v.size() + more > v.capacity()) [[unlikely]]
    grow(v, more);
}

// The statement a keyword token opens: its first character, and the second for 'v'.
enum class keyword {
  face,
  object,
  use_material,
  material_library,
  position,
  texcoord,
  normal,
  other_v,
  other
};

inline keyword keyword_of(std::string_view token) {
  switch (token[0]) {
    case 'f':
      return keyword::face;
    case 'o':
      return keyword::object;
    case 'u':
      return keyword::use_material;
    case 'm':
      return keyword::material_library;
    case 'v': {
      char second = token.size() > 1 ? token[1] : '\0';
      if (second == '\0') return keyword::position;
      if (second == 't') return keyword::texcoord;
      if (second == 'n') return keyword::normal;
      return keyword::other_v;
    }
    default:
      return keyword::other;
  }
}

// The form of a face's corners, decided by its first corner: "%d//%d", "%d/%d/%d", "%d/%d", "%d".
enum class face_form { position_normal, position_texcoord_normal, position_texcoord, position };

inline int numbers_in(face_form form) {
  return form == face_form::position_texcoord_normal ? 3 : form == face_form::position ? 1 : 2;
}

// OBJ indices as written: 1-based, or negative to count back from the last element read.
struct corner {
  int64_t position = 0;
  int64_t texcoord = 0;
  int64_t normal = 0;
};

// Reads one corner in `form`; returns the number of converted numbers, or -1 when the text ended
// before the first.
inline int read_corner(obj_text_reader& in, face_form form, corner& c) {
  int converted = in.scan_int(c.position);
  if (converted <= 0 || form == face_form::position) return converted;
  if (form == face_form::position_normal) {
    if (!in.literal('/') || !in.literal('/')) return 1;
    return in.scan_int(c.normal) == 1 ? 2 : 1;
  }
  if (!in.literal('/') || in.scan_int(c.texcoord) != 1) return 1;
  if (form == face_form::position_texcoord) return 2;
  if (!in.literal('/')) return 2;
  return in.scan_int(c.normal) == 1 ? 3 : 2;
}

// Decides the form from the first corner token and reads that corner from it.
face_form first_corner(std::string_view token, corner& c, int& converted);

struct face {
  face_form form = face_form::position;
  bool complete = true;  // every corner carries all the numbers of its form
  std::vector<corner> corners;
};

// Reads a face after its keyword: the first corner token, two more corners whatever they
// convert, then further corners while one converts a number.
inline void read_face(obj_text_reader& in, face& f) {
  f.corners.clear();
  corner c;
  int converted = -1;
  std::string_view token;
  f.form = in.token(token) ? first_corner(token, c, converted) : face_form::position;
  int numbers = numbers_in(f.form);
  f.complete = converted == numbers;
  f.corners.push_back(c);
  for (int i = 0; i < 2; ++i) {
    c = corner{};
    if (read_corner(in, f.form, c) != numbers) f.complete = false;
    f.corners.push_back(c);
  }
  for (;;) {
    c = corner{};
    int n = read_corner(in, f.form, c);
    if (n <= 0) break;
    if (n != numbers) f.complete = false;
    f.corners.push_back(c);
  }
}

// Counts of positions, texture coordinates and normals.
struct element_counts {
  int64_t position = 0;
  int64_t texcoord = 0;
  int64_t normal = 0;
};

// Turns an OBJ index into a 0-based one: `read` elements of its kind came before the face and
// the first `limit` may be named. -1 when it names none of them.
inline int64_t element_index(int64_t index, int64_t read, int64_t limit) {
  int64_t i = index > 0 ? index - 1 : read + index;
  return (index == 0 || i < 0 || i >= limit) ? -1 : i;
}

// Where welding looks for a record: a hash of its position index and its first 32 bytes, the
// only bytes that can differ (every record's trailing floats are zero).
[[gnu::always_inline]] inline uint64_t weld_hash(size_t position, const char* bytes) {
  uint64_t h = (uint64_t(position) + 1) * 0x9E3779B97F4A7C15u;
  for (int i = 0; i < 4; ++i) {
    uint64_t word;
    std::memcpy(&word, bytes + 8 * i, 8);
    h = (h ^ word) * 0xBF58476D1CE4E5B9u;
    h ^= h >> 31;
  }
  return h;
}

// The table's slot count as a power of two.
inline int slot_bits(const weld_table& table) { return __builtin_ctzll(table.slots.size()); }

// Rebuilds the hash with twice the slots (at least 1024).
void grow_weld_slots(obj_mesh& mesh);

// The slot of a record that is not in the hash yet (growing the hash first when needed).
inline size_t free_weld_slot(obj_mesh& mesh, size_t position, const char* bytes) {
  weld_table& table = mesh.weld_index;
  if (2 * (table.hashed + 1) > table.slots.size()) grow_weld_slots(mesh);
  const size_t mask = table.slots.size() - 1;
  size_t at = size_t(weld_hash(position, bytes) >> (64 - slot_bits(table)));
  while (table.slots[at].record != weld_table::empty_slot) at = (at + 1) & mask;
  return at;
}

// Puts a record made from position `position` into the hash.
inline void hash_record(obj_mesh& mesh, size_t position, uint32_t record) {
  weld_table& table = mesh.weld_index;
  const size_t at = free_weld_slot(mesh, position, reinterpret_cast<const char*>(&mesh.vertices[record]));
  table.slots[at] = {record, uint32_t(position)};
  table.hashed++;
}

// Returns the index of the record equal to `wanted` (its first 32 bytes; all 60 bit for bit)
// among those made from position `position`, appending it to the vertex array and to the
// position's list when there is none. The records of a position are compared in list order
// while it has at most weld_table::scanned_records (most have one or two, near each other in
// memory); the records of a position with more are all in the hash, and looked up there.
[[gnu::always_inline]] inline uint32_t weld(obj_mesh& mesh, size_t position, const char* wanted) {
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
    for (size_t at = size_t(weld_hash(position, wanted) >> (64 - slot_bits(table)));
         table.slots[at].record != weld_table::empty_slot; at = (at + 1) & mask) {
      const weld_table::slot s = table.slots[at];
      ++table.comparisons;
      if (s.position == position && std::memcmp(&mesh.vertices[s.record], wanted, 32) == 0) return s.record;
    }
  }
  const int index = int(mesh.vertices.size());
  make_room(mesh.vertices, 1);
  make_room(table.next, 1);
  vertex_record& record = mesh.vertices.emplace_back();
  std::memcpy(&record, wanted, 32);
  table.next.push_back(-1);
  if (table.head[position] < 0)
    table.head[position] = index;
  else
    table.next[size_t(table.tail[position])] = index;
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

// The record made from position `position` with the given texture coordinate and normal, welded.
[[gnu::always_inline]] inline uint32_t weld(obj_mesh& mesh, size_t position, const float* texcoord,
                                            const float* normal) {
  char wanted[32];
  std::memcpy(wanted, &mesh.positions[position * 3], 12);
  std::memcpy(wanted + 12, texcoord, 8);
  std::memcpy(wanted + 20, normal, 12);
  return weld(mesh, position, wanted);
}

// Why a face cannot be built: a corner short of the numbers of its form, or an index that names
// none of the elements it may name.
struct face_fault {
  enum { none, short_corner, bad_index } kind = none;
  int element = 0;        // of a bad index: 0 position, 1 texture coordinate, 2 normal
  int64_t index = 0;      // the index as written
  int64_t available = 0;  // elements a positive index may name, or a negative one count back over
};

// The first fault of `f`, checking its corners in order, each one's position, texture coordinate
// and normal: `read` elements of each kind came before the face and the first `limit` may be named.
inline face_fault check_face(const face& f, const element_counts& read, const element_counts& limit) {
  face_fault fault;
  if (!f.complete) {
    fault.kind = face_fault::short_corner;
    return fault;
  }
  const bool texcoords =
      f.form == face_form::position_texcoord || f.form == face_form::position_texcoord_normal;
  const bool normals = f.form == face_form::position_normal || f.form == face_form::position_texcoord_normal;
  auto bad = [&](int element, int64_t index, int64_t read_so_far, int64_t named) {
    if (element_index(index, read_so_far, named) >= 0) return false;
    fault = {face_fault::bad_index, element, index, index < 0 ? read_so_far : named};
    return true;
  };
  for (const corner& c : f.corners)
    if (bad(0, c.position, read.position, limit.position) ||
        (texcoords && bad(1, c.texcoord, read.texcoord, limit.texcoord)) ||
        (normals && bad(2, c.normal, read.normal, limit.normal)))
      return fault;
  return fault;
}

// Builds and welds the record of every corner of `f` in order into `records`; check_face with the
// same counts has found no fault.
inline void weld_face(obj_mesh& mesh, const face& f, const element_counts& read, const element_counts& limit,
                      std::vector<uint32_t>& records) {
  const bool texcoords =
      f.form == face_form::position_texcoord || f.form == face_form::position_texcoord_normal;
  const bool normals = f.form == face_form::position_normal || f.form == face_form::position_texcoord_normal;
  records.clear();
  static constexpr float none[3] = {0, 0, 0};
  for (const corner& c : f.corners) {
    const int64_t p = element_index(c.position, read.position, limit.position);
    const float* texcoord =
        texcoords ? &mesh.texcoords[size_t(element_index(c.texcoord, read.texcoord, limit.texcoord)) * 2]
                  : none;
    const float* normal =
        normals ? &mesh.normals[size_t(element_index(c.normal, read.normal, limit.normal)) * 3] : none;
    records.push_back(weld(mesh, size_t(p), texcoord, normal));
  }
}

// The faces a load skips: how many, and where the first one is and what is wrong with it.
struct skipped_faces {
  int64_t count = 0;
  const char* first = nullptr;  // a character on the first skipped face's line
  face_fault fault;

  void add(const char* at, const face_fault& why) {
    if (count++ > 0) return;
    first = at;
    fault = why;
  }
};

// "line N: <fault>; K faces skipped" for the faces skipped in `text`, empty when there are none.
std::string describe(std::string_view text, const skipped_faces& skipped);

// The line number (from 1) of the character at `at` in `text`.
int64_t line_of(std::string_view text, const char* at);

// The material used when the file names no material library.
void add_default_material(obj_mesh& mesh);

// Counts a material-library statement. One blank material stands for all of them: the named
// files are never opened and nothing reads the blank records, and one per statement would let a
// file of short 'm' lines fill memory a hundred times its size.
inline void add_material_library(obj_mesh& mesh) {
  if (mesh.library_count++ == 0) mesh.materials.emplace_back();
}

// The material a material-use statement selects: the one named by the first word of the rest of
// its line, or material 0 when there is no such material.
int material_named(const obj_mesh& mesh, std::string_view line);

}  // namespace obj_statements
