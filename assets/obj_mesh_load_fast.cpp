// Loading an OBJ text in one pass with growing arrays. The counting pass skips the rest of a 'v',
// 'vt', 'vn' or 'o' line where the filling pass reads numbers or a name and then reads on, and a
// face may name an element that only a later line defines; everywhere else both passes read the
// same statements. So this pass gives the two passes' results exactly as long as it meets neither
// case, and gives up (returns false) as soon as it does.
#include <climits>
#include <cstring>
#include <utility>

#include "assets/obj_mesh.h"
#include "assets/obj_mesh_statements.h"
#include "assets/obj_mesh_text.h"

using namespace obj_statements;

namespace {

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

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

// Appends the numbers of a 'v', 'vt' or 'vn' statement, zeros where they do not convert.
bool read_element(obj_text_reader& in, std::vector<float>& values, int count) {
  float out[3] = {0, 0, 0};
  // The usual line: blanks, the numbers, then the line feed.
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

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

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

// Reads the corners after the first up to the end of the face's line; false where one is not of
// the face's form or a number starts the next line (formatted input would read it as one more
// corner).
template <face_form form>
bool read_plain_corners(obj_text_reader& r, face& f) {
  for (;;) {
    while (r.p < r.end && is_blank(*r.p)) ++r.p;
    if (r.p == r.end) return true;
    if (*r.p == '\n') {
      const char* next = r.p;
      while (next < r.end && is_space(*next)) ++next;
      if (next < r.end && ((*next >= '0' && *next <= '9') || *next == '-' || *next == '+')) return false;
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

}  // namespace

bool load_in_one_pass(obj_mesh& mesh, std::string_view text) {
  obj_text_reader in{text.data(), text.data() + text.size()};
  element_counts read;
  int64_t t = 0;
  std::vector<std::pair<int64_t, std::string_view>> material_uses;  // first triangle, line
  face f;
  std::vector<uint32_t> records;
  std::string_view token;
  while (next_token(in, token)) {
    switch (keyword_of(token)) {
      case keyword::face:
        if (mesh.vertices.capacity() == 0) {
          // Most files define their positions before the faces; a closed mesh has about as many
          // vertices as positions and twice as many triangles.
          reserve_large(mesh.vertices, size_t(read.position));
          reserve_large(mesh.weld_index.next, size_t(read.position));
          reserve_large(mesh.triangles, size_t(read.position) * 6);
        }
        if (!read_plain_face(in, f)) read_face(in, f);
        if (!f.complete || !weld_face(mesh, f, read, read, records)) return false;
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
        material_uses.emplace_back(t, in.rest_of_line());
        break;
      case keyword::material_library:
        in.rest_of_line();
        mesh.library_count++;
        mesh.materials.emplace_back();
        break;
      case keyword::position:
        if (!read_element(in, mesh.positions, 3)) return false;
        make_room(mesh.weld_index.head, 1);
        make_room(mesh.weld_index.tail, 1);
        mesh.weld_index.head.push_back(-1);
        mesh.weld_index.tail.push_back(-1);
        read.position++;
        break;
      case keyword::texcoord:
        if (!read_element(in, mesh.texcoords, 2)) return false;
        read.texcoord++;
        break;
      case keyword::normal:
        if (!read_element(in, mesh.normals, 3)) return false;
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
  for (const auto& [first, line] : material_uses) {
    int material = material_named(mesh, line);
    std::fill(mesh.triangle_materials.begin() + first, mesh.triangle_materials.end(), material);
  }
  mesh.groups.push_back(int(t));
  return true;
}
