// Loading an OBJ text in one pass with growing arrays. The counting pass skips the rest of a 'v',
// 'vt', 'vn' or 'o' line where the filling pass reads numbers or a name and then reads on, and a
// face may name an element that only a later line defines; everywhere else both passes read the
// same statements. So this pass gives the two passes' results exactly as long as it meets neither
// case, and gives up (returns false) as soon as it does.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <utility>

#include "assets/obj_mesh.h"
#include "assets/obj_mesh_statements.h"
#include "assets/obj_mesh_text.h"

using namespace obj_statements;

namespace {

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

const char* line_end(const obj_text_reader& in) {
  const void* feed = std::memchr(in.p, '\n', size_t(in.end - in.p));
  return feed ? static_cast<const char*>(feed) : in.end;
}

// After the filling pass has read the numbers or the name of a statement on the line ending at
// `end`: true when it goes on at the same statement as the counting pass, which skipped the line.
// That holds when the reading stayed on the line and what is left of it is empty or a token that
// skips the line in turn, or when it only passed white space beyond the line.
bool rest_of_line_agrees(obj_text_reader& in, const char* end) {
  if (in.p > end) {
    for (const char* s = end; s < in.p; ++s)
      if (!is_space(*s)) return false;
    return true;
  }
  const char* s = in.p;
  while (s < end && is_space(*s)) ++s;
  if (s < end && (*s == 'f' || *s == 'o' || *s == 'u' || *s == 'v')) return false;
  in.p = end < in.end ? end + 1 : end;
  return true;
}

// The usual element line, " 0.25 -1.5 3.0" after its keyword: one blank before each number,
// every number a short decimal, then blanks or a carriage return and the line feed. Needs 64
// readable bytes; false, with nothing consumed, for anything else.
template <int count>
[[gnu::always_inline]] inline bool read_usual_element(obj_text_reader& in, std::vector<float>& values) {
  if (in.end - in.p < 64) return false;
  obj_text_reader r = in;
  float out[count];
  for (int i = 0; i < count; ++i) {
    if (*r.p != ' ') return false;
    ++r.p;
    if (!r.scan_short_decimal(out[i])) return false;
  }
  if (*r.p != '\n') {
    while (r.p < r.end && is_blank(*r.p)) ++r.p;
    if (r.p == r.end || *r.p != '\n') return false;
  }
  in.p = r.p + 1;
  make_room(values, size_t(count));
  for (int i = 0; i < count; ++i) values.push_back(out[i]);
  return true;
}

// read_element for every line that is not of the usual spelling.
template <int count>
[[gnu::noinline]] bool read_unusual_element(obj_text_reader& in, std::vector<float>& values) {
  float out[3] = {0, 0, 0};
  // Blanks, the numbers, then the line feed, with room checks and any spelling of the numbers.
  const char* start = in.p;
  int i = 0;
  for (; i < count; ++i) {
    if (in.p < in.end && *in.p == ' ') {
      ++in.p;
      if (in.scan_short_decimal(out[i])) continue;
    }
    while (in.p < in.end && (*in.p == ' ' || *in.p == '\t')) ++in.p;
    if (in.p == in.end || *in.p == '\n' || in.scan_float(out[i]) != 1) break;
  }
  if (i == count) {
    while (in.p < in.end && (*in.p == ' ' || *in.p == '\t' || *in.p == '\r')) ++in.p;
    if (in.p == in.end || *in.p == '\n') {
      in.p += in.p < in.end;
      make_room(values, size_t(count));
      for (int k = 0; k < count; ++k) values.push_back(out[k]);
      return true;
    }
  }
  // Anything else: read again as formatted input would and compare with the skipped line.
  in.p = start;
  for (i = 0; i < count; ++i) out[i] = 0.0f;
  const char* end = line_end(in);
  for (i = 0; i < count; ++i)
    if (in.scan_float(out[i]) != 1) break;
  for (int k = 0; k < count; ++k) values.push_back(out[k]);
  return rest_of_line_agrees(in, end);
}

// Appends the numbers of a 'v', 'vt' or 'vn' statement, zeros where they do not convert.
template <int count>
[[gnu::always_inline]] inline bool read_element(obj_text_reader& in, std::vector<float>& values) {
  return read_usual_element<count>(in, values) || read_unusual_element<count>(in, values);
}

// Reads an integer that starts right here (no white space before it).
[[gnu::always_inline]] inline bool plain_int(obj_text_reader& in, int64_t& value) {
  if (in.p == in.end) return false;
  char c = *in.p;
  if (c >= '1' && c <= '9') return in.read_digits(value);
  if (!(c == '0' || c == '-' || c == '+')) return false;
  return in.scan_int(value) == 1;
}

// Reads the first corner of a face, which decides the form. The corner must end at white space
// or at the end of the text.
bool first_plain_corner(obj_text_reader& in, face_form& form, corner& c) {
  if (!plain_int(in, c.position)) return false;
  form = face_form::position;
  if (in.literal('/')) {
    if (in.literal('/')) {
      form = face_form::position_normal;
      if (!plain_int(in, c.normal)) return false;
    } else {
      if (!plain_int(in, c.texcoord)) return false;
      form = face_form::position_texcoord;
      if (in.literal('/')) {
        form = face_form::position_texcoord_normal;
        if (!plain_int(in, c.normal)) return false;
      }
    }
  }
  return in.p == in.end || is_space(*in.p);
}

// Reads a further corner of `form`, which must end the same way.
template <face_form form>
[[gnu::always_inline]] inline bool next_plain_corner(obj_text_reader& in, corner& c) {
  if (!plain_int(in, c.position)) return false;
  if constexpr (form == face_form::position_normal) {
    if (!in.literal('/') || !in.literal('/') || !plain_int(in, c.normal)) return false;
  } else if constexpr (form == face_form::position_texcoord_normal) {
    if (!in.literal('/') || !plain_int(in, c.texcoord) || !in.literal('/') || !plain_int(in, c.normal))
      return false;
  } else if constexpr (form == face_form::position_texcoord) {
    if (!in.literal('/') || !plain_int(in, c.texcoord)) return false;
  }
  return in.p == in.end || is_space(*in.p);
}

// Whether a number starts after the white space at `s` (the end of a face's line): formatted input
// would read it as one more corner of the face.
bool number_follows(const char* s, const char* end) {
  while (s < end && is_space(*s)) ++s;
  return s < end && ((*s >= '0' && *s <= '9') || *s == '-' || *s == '+');
}

// Reads the corners after the first up to the end of the face's line; false where one is not of
// the face's form or a number starts the next line (formatted input would read it as one more
// corner).
template <face_form form>
bool read_plain_corners(obj_text_reader& r, face& f) {
  for (;;) {
    while (r.p < r.end && is_blank(*r.p)) ++r.p;
    if (r.p == r.end) return true;
    if (*r.p == '\n') {
      if (number_follows(r.p, r.end)) return false;
      ++r.p;
      return true;
    }
    corner c;
    if (!next_plain_corner<form>(r, c)) return false;
    f.corners.push_back(c);
  }
}

// Reads a face in its usual spelling: three or more corners of one form on the face's line,
// separated by blanks. False, with the reader unmoved, for anything else.
bool read_plain_face(obj_text_reader& in, face& f) {
  obj_text_reader r = in;
  f.corners.clear();
  f.complete = true;
  while (r.p < r.end && is_blank(*r.p)) ++r.p;
  corner c;
  if (!first_plain_corner(r, f.form, c)) return false;
  f.corners.push_back(c);
  bool plain = false;
  switch (f.form) {
    case face_form::position_normal:
      plain = read_plain_corners<face_form::position_normal>(r, f);
      break;
    case face_form::position_texcoord_normal:
      plain = read_plain_corners<face_form::position_texcoord_normal>(r, f);
      break;
    case face_form::position_texcoord:
      plain = read_plain_corners<face_form::position_texcoord>(r, f);
      break;
    case face_form::position:
      plain = read_plain_corners<face_form::position>(r, f);
      break;
  }
  if (!plain || f.corners.size() < 3) return false;
  in = r;
  return true;
}

// One index in the usual face spelling: one to six digits, converted from one eight-byte load
// (eight bytes must be readable at `s`). Leading zeros read as "%d" reads them; an index of 0
// is left to the caller's range check. Moves `s` past it.
[[gnu::always_inline]] inline bool usual_index(const char*& s, int64_t& value) {
  uint64_t x;
  int k = obj_text_reader::short_digit_run(s, x);
  if (unsigned(k - 1) > 5u) return false;
  s += k;
  value = int64_t(x);
  return true;
}

// A corner's indices as written.
struct corner_indices {
  int64_t position, texcoord, normal;
};

// A further corner of `form` in the usual spelling, which must end at white space.
template <face_form form>
[[gnu::always_inline]] inline bool usual_corner(const char*& s, corner_indices& c) {
  if (!usual_index(s, c.position)) return false;
  if constexpr (form == face_form::position_normal) {
    if (s[0] != '/' || s[1] != '/') return false;
    s += 2;
    if (!usual_index(s, c.normal)) return false;
  } else if constexpr (form == face_form::position_texcoord_normal) {
    if (*s++ != '/' || !usual_index(s, c.texcoord) || *s++ != '/' || !usual_index(s, c.normal)) return false;
  } else if constexpr (form == face_form::position_texcoord) {
    if (*s++ != '/' || !usual_index(s, c.texcoord)) return false;
  }
  return is_space(*s);
}

constexpr int most_usual_corners = 16;

// Whether a corner starting at `s` can be read without checking for the end of the text (a
// corner of the usual spelling with its separators spans at most 22 characters).
bool room_for_corner(const char* s, const char* end) { return end - s > 32; }

// The corners after the first, up to the end of the face's line, as read_plain_corners reads them;
// false for anything outside the usual spelling, which then goes the general way.
template <face_form form>
int usual_corners(const char*& s, const char* end, corner_indices* corners) {
  int count = 1;
  for (;;) {
    if (*s == ' ' && s[1] >= '0' && s[1] <= '9') {
      ++s;  // the usual single blank before the next corner
    } else {
      while (room_for_corner(s, end) && is_blank(*s)) ++s;
    }
    if (!room_for_corner(s, end)) return 0;
    if (*s == '\n') {
      if (number_follows(s, end)) return 0;
      ++s;
      return count;
    }
    if (count == most_usual_corners || !usual_corner<form>(s, corners[count])) return 0;
    ++count;
  }
}

// A face in the usual spelling (positive indices of up to six digits, corners of one form
// separated by blanks, at most sixteen, all naming elements already read), welded and
// triangulated as weld_face and the fan would do it. False, with nothing consumed or changed, for
// anything else.
bool read_usual_face(obj_mesh& mesh, obj_text_reader& in, const element_counts& read, int64_t& t) {
  const char* s = in.p;
  while (room_for_corner(s, in.end) && is_blank(*s)) ++s;
  if (!room_for_corner(s, in.end)) return false;
  corner_indices corners[most_usual_corners];  // filled as read: no initial values needed
  corner_indices& first = corners[0];
  face_form form = face_form::position;
  if (!usual_index(s, first.position)) return false;
  if (*s == '/') {
    ++s;
    if (*s == '/') {
      ++s;
      form = face_form::position_normal;
      if (!usual_index(s, first.normal)) return false;
    } else {
      form = face_form::position_texcoord;
      if (!usual_index(s, first.texcoord)) return false;
      if (*s == '/') {
        ++s;
        form = face_form::position_texcoord_normal;
        if (!usual_index(s, first.normal)) return false;
      }
    }
  }
  if (!is_space(*s)) return false;
  int count = 0;
  switch (form) {
    case face_form::position_normal:
      count = usual_corners<face_form::position_normal>(s, in.end, corners);
      break;
    case face_form::position_texcoord_normal:
      count = usual_corners<face_form::position_texcoord_normal>(s, in.end, corners);
      break;
    case face_form::position_texcoord:
      count = usual_corners<face_form::position_texcoord>(s, in.end, corners);
      break;
    case face_form::position:
      count = usual_corners<face_form::position>(s, in.end, corners);
      break;
  }
  if (count < 3) return false;
  const bool texcoords = form == face_form::position_texcoord || form == face_form::position_texcoord_normal;
  const bool normals = form == face_form::position_normal || form == face_form::position_texcoord_normal;
  for (int i = 0; i < count; ++i) {
    const corner_indices& c = corners[i];
    // Index 0 wraps to the top of the range and fails like an index beyond the elements read.
    if (uint64_t(c.position - 1) >= uint64_t(read.position) ||
        (texcoords && uint64_t(c.texcoord - 1) >= uint64_t(read.texcoord)) ||
        (normals && uint64_t(c.normal - 1) >= uint64_t(read.normal)))
      return false;
  }
  static constexpr float none[3] = {0, 0, 0};
  uint32_t records[most_usual_corners];
  for (int i = 0; i < count; ++i) {
    const corner_indices& c = corners[i];
    const float* texcoord = texcoords ? &mesh.texcoords[size_t(c.texcoord - 1) * 2] : none;
    const float* normal = normals ? &mesh.normals[size_t(c.normal - 1) * 3] : none;
    records[i] = weld(mesh, size_t(c.position - 1), texcoord, normal);
  }
  const size_t added = 3 * size_t(count - 2);
  make_room(mesh.triangles, added);
  uint32_t triangle[3 * (most_usual_corners - 2)];
  for (int k = 2; k < count; ++k) {
    triangle[3 * (k - 2)] = records[0];
    triangle[3 * (k - 2) + 1] = records[k - 1];
    triangle[3 * (k - 2) + 2] = records[k];
  }
  mesh.triangles.insert(mesh.triangles.end(), triangle, triangle + added);
  t += count - 2;
  in.p = s;
  return true;
}

// Gives every position read so far its (empty) list of welded records.
[[gnu::always_inline]] inline void cover_positions(weld_table& table, int64_t positions) {
  if (int64_t(table.head.size()) >= positions) return;
  if (size_t(positions) > table.head.capacity()) {
    reserve_large(table.head, std::max(size_t(positions), table.head.capacity() * 2));
    reserve_large(table.tail, std::max(size_t(positions), table.tail.capacity() * 2));
  }
  table.head.resize(size_t(positions), -1);
  table.tail.resize(size_t(positions), -1);
}

// "%s" as obj_text_reader::token reads it, with the usual keyword of one or two characters at the
// start of a line taken without a scan.
[[gnu::always_inline]] inline bool next_token(obj_text_reader& in, std::string_view& token) {
  if (in.end - in.p >= 3 && !is_space(in.p[0])) {
    if (is_space(in.p[1])) {
      token = std::string_view(in.p, 1);
      in.p += 1;
      return true;
    }
    if (is_space(in.p[2])) {
      token = std::string_view(in.p, 2);
      in.p += 2;
      return true;
    }
  }
  return in.token(token);
}

// The next statement's keyword: the usual ones ("v ", "vt ", "vn ", "f ") straight from their
// characters, anything else through next_token and keyword_of. False at the end of the text.
[[gnu::always_inline]] inline bool next_statement(obj_text_reader& in, keyword& kind) {
  if (in.end - in.p >= 3) {
    const char c0 = in.p[0], c1 = in.p[1];
    if (c1 == ' ' && (c0 == 'v' || c0 == 'f')) {
      kind = c0 == 'v' ? keyword::position : keyword::face;
      in.p += 1;
      return true;
    }
    if (c0 == 'v' && (c1 == 't' || c1 == 'n') && in.p[2] == ' ') {
      kind = c1 == 't' ? keyword::texcoord : keyword::normal;
      in.p += 2;
      return true;
    }
  }
  std::string_view token;
  if (!next_token(in, token)) return false;
  kind = keyword_of(token);
  return true;
}

}  // namespace

bool load_in_one_pass(obj_mesh& mesh, std::string_view text) {
  obj_text_reader in{text.data(), text.data() + text.size()};
  element_counts read;
  int64_t t = 0;
  std::vector<std::pair<int64_t, std::string_view>> material_uses;  // first triangle, line
  face f;
  std::vector<uint32_t> records;
  skipped_faces skipped;
  std::string_view token;
  keyword kind;
  while (next_statement(in, kind)) {
    switch (kind) {
      case keyword::face:
        if (mesh.vertices.capacity() == 0) {
          // Most files define their positions before the faces; a closed mesh has about as many
          // vertices as positions and twice as many triangles. But no more than the rest of the
          // text can name: every corner takes at least two characters.
          const size_t corners = size_t(in.end - in.p) / 2;
          reserve_large(mesh.vertices, std::min(size_t(read.position), corners));
          reserve_large(mesh.weld_index.next, std::min(size_t(read.position), corners));
          reserve_large(mesh.triangles, std::min(size_t(read.position) * 6, corners * 3));
        }
        cover_positions(mesh.weld_index, read.position);
        if (read_usual_face(mesh, in, read, t)) {
          if (t > INT_MAX / 3) return false;
          break;
        }
        {
          const char* keyword_end = in.p;
          if (!read_plain_face(in, f)) read_face(in, f);
          const face_fault fault = check_face(f, read, read);
          // A positive index beyond the elements read may name one that a later line defines.
          if (fault.kind == face_fault::bad_index && fault.index > 0) return false;
          if (fault.kind != face_fault::none) {
            skipped.add(keyword_end - 1, fault);
            break;
          }
        }
        weld_face(mesh, f, read, read, records);
        {
          size_t at = mesh.triangles.size();
          make_room(mesh.triangles, 3 * (records.size() - 2));
          mesh.triangles.resize(at + 3 * (records.size() - 2));
          uint32_t* triangle = &mesh.triangles[at];
          for (size_t k = 2; k < records.size(); ++k, triangle += 3) {
            triangle[0] = records[0];
            triangle[1] = records[k - 1];
            triangle[2] = records[k];
          }
        }
        t += int64_t(records.size()) - 2;
        if (t > INT_MAX / 3) return false;
        break;
      case keyword::object: {
        mesh.groups.push_back(int(t));
        const char* end = line_end(in);
        if (in.token(token) && (token.data() > end || !rest_of_line_agrees(in, end))) return false;
        break;
      }
      case keyword::use_material:
        // Of the uses between two faces only the last counts: one entry per triangle at most.
        if (!material_uses.empty() && material_uses.back().first == t) material_uses.pop_back();
        material_uses.emplace_back(t, in.rest_of_line());
        break;
      case keyword::material_library:
        in.rest_of_line();
        add_material_library(mesh);
        break;
      case keyword::position:
        if (!read_element<3>(in, mesh.positions)) return false;
        read.position++;
        break;
      case keyword::texcoord:
        if (!read_element<2>(in, mesh.texcoords)) return false;
        read.texcoord++;
        break;
      case keyword::normal:
        if (!read_element<3>(in, mesh.normals)) return false;
        read.normal++;
        break;
      case keyword::other_v:
        break;
      default:
        in.skip_line();
        break;
    }
  }
  if (read.position > INT_MAX / 3 || read.texcoord > INT_MAX / 3 || read.normal > INT_MAX / 3) return false;
  cover_positions(mesh.weld_index, read.position);
  mesh.position_count = int(read.position);
  mesh.texcoord_count = int(read.texcoord);
  mesh.normal_count = int(read.normal);
  mesh.triangle_count = int(t);
  mesh.has_positions = read.position > 0;
  mesh.has_texcoords = read.texcoord > 0;
  mesh.has_normals = read.normal > 0;
  if (mesh.library_count == 0) add_default_material(mesh);
  reserve_large(mesh.triangle_materials, size_t(t));
  mesh.triangle_materials.assign(size_t(t), 0);
  // Each use selects the material of the triangles up to the next use.
  for (size_t u = 0; u < material_uses.size(); ++u) {
    const int64_t first = material_uses[u].first;
    const int64_t last = u + 1 < material_uses.size() ? material_uses[u + 1].first : t;
    std::fill(mesh.triangle_materials.begin() + first, mesh.triangle_materials.begin() + last,
              material_named(mesh, material_uses[u].second));
  }
  mesh.groups.push_back(int(t));
  mesh.problem = describe(text, skipped);
  return true;
}
