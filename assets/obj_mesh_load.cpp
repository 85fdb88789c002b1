// Loading an OBJ file: a counting pass sizes every array, a filling pass reads the values, welds
// equal corners into one vertex record and fan-triangulates the faces.
#include <climits>
#include <cstdio>
#include <cstring>

#include "assets/obj_mesh.h"
#include "assets/obj_mesh_text.h"

namespace {

// The form of a face's corners, decided by its first corner.
enum class face_form { position_normal, position_texcoord_normal, position_texcoord, position };

int numbers_in(face_form form) {
  switch (form) {
    case face_form::position_texcoord_normal:
      return 3;
    case face_form::position:
      return 1;
    default:
      return 2;
  }
}

// OBJ indices as written: 1-based, or negative to count back from the last element read.
struct corner {
  int64_t position = 0;
  int64_t texcoord = 0;
  int64_t normal = 0;
};

// Reads one corner ("%d//%d", "%d/%d/%d", "%d/%d" or "%d"); returns the number of converted
// numbers, or -1 when the text ended before the first.
int read_corner(obj_text_reader& in, face_form form, corner& c) {
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

struct face {
  face_form form = face_form::position;
  bool complete = true;  // every corner carries all the numbers of its form
  std::vector<corner> corners;
};

// Reads a face after its keyword, exactly as both passes do: the first corner token, two more
// corners without looking at the conversion, then further corners while one converts a number.
void read_face(obj_text_reader& in, face& f) {
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

// Turns an OBJ index into a 0-based one: `read` elements of its kind came before the face and
// `total` exist in the file. -1 when it names no element.
int64_t element_index(int64_t index, int64_t read, int64_t total) {
  int64_t i = index > 0 ? index - 1 : read + index;
  return (index == 0 || i < 0 || i >= total) ? -1 : i;
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

keyword keyword_of(std::string_view token) {
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

constexpr int64_t max_count = INT_MAX / 3;

// The counting pass. False when a count outgrows the arrays' index range.
bool count_statements(obj_mesh& mesh, std::string_view text) {
  obj_text_reader in{text.data(), text.data() + text.size()};
  int64_t positions = 0, texcoords = 0, normals = 0, triangles = 0;
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
        mesh.library_count++;
        mesh.materials.emplace_back();
        break;
      case keyword::position:
        positions++;
        in.skip_line();
        break;
      case keyword::texcoord:
        texcoords++;
        in.skip_line();
        break;
      case keyword::normal:
        normals++;
        in.skip_line();
        break;
      case keyword::other_v:
        break;
      default:
        in.skip_line();
        break;
    }
    if (triangles > max_count || positions > max_count || texcoords > max_count || normals > max_count)
      return false;
  }
  mesh.position_count = int(positions);
  mesh.texcoord_count = int(texcoords);
  mesh.normal_count = int(normals);
  mesh.triangle_count = int(triangles);
  mesh.has_positions = positions > 0;
  mesh.has_texcoords = texcoords > 0;
  mesh.has_normals = normals > 0;
  mesh.positions.assign(size_t(positions) * 3, 0.0f);
  mesh.texcoords.assign(size_t(texcoords) * 2, 0.0f);
  mesh.normals.assign(size_t(normals) * 3, 0.0f);
  mesh.triangles.assign(size_t(triangles) * 3, 0u);
  mesh.triangle_materials.assign(size_t(triangles), 0);
  if (mesh.library_count == 0) {
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
  return true;
}

// Returns the index of the record equal to `record` (all 60 bytes) among those made from the
// same position, appending it to the vertex array when there is none.
uint32_t weld(obj_mesh& mesh, const vertex_record& record, int position) {
  weld_table& table = mesh.weld_index;
  for (int i = table.head[size_t(position)]; i >= 0; i = table.next[size_t(i)])
    if (std::memcmp(&mesh.vertices[size_t(i)], &record, sizeof record) == 0) return uint32_t(i);
  int index = int(mesh.vertices.size());
  mesh.vertices.push_back(record);
  table.next.push_back(-1);
  if (table.head[size_t(position)] < 0)
    table.head[size_t(position)] = index;
  else
    table.next[size_t(table.tail[size_t(position)])] = index;
  table.tail[size_t(position)] = index;
  return uint32_t(index);
}

// Reads up to `count` numbers ("%f %f %f") into `out`, stopping at the first that fails.
void read_floats(obj_text_reader& in, float* out, int count) {
  for (int i = 0; i < count; ++i)
    if (in.scan_float(out[i]) != 1) return;
}

// The filling pass. False when the file does not describe a mesh that can be built safely: a face
// naming an element that does not exist or lacking numbers of its form, or more statements than
// the counting pass found (text that the two passes read differently).
bool fill_statements(obj_mesh& mesh, std::string_view text) {
  obj_text_reader in{text.data(), text.data() + text.size()};
  int64_t positions = 0, texcoords = 0, normals = 0, t = 0;
  int material = 0;
  mesh.groups.clear();
  mesh.weld_index.head.assign(size_t(mesh.position_count), -1);
  mesh.weld_index.tail.assign(size_t(mesh.position_count), -1);
  face f;
  std::vector<uint32_t> records;
  std::string_view token;
  while (in.token(token)) {
    switch (keyword_of(token)) {
      case keyword::face: {
        read_face(in, f);
        if (!f.complete) return false;
        records.clear();
        for (const corner& c : f.corners) {
          vertex_record record{};
          int64_t p = element_index(c.position, positions, mesh.position_count);
          if (p < 0) return false;
          std::memcpy(record.position, &mesh.positions[size_t(p) * 3], sizeof record.position);
          if (f.form == face_form::position_texcoord || f.form == face_form::position_texcoord_normal) {
            int64_t i = element_index(c.texcoord, texcoords, mesh.texcoord_count);
            if (i < 0) return false;
            std::memcpy(record.texcoord, &mesh.texcoords[size_t(i) * 2], sizeof record.texcoord);
          }
          if (f.form == face_form::position_normal || f.form == face_form::position_texcoord_normal) {
            int64_t i = element_index(c.normal, normals, mesh.normal_count);
            if (i < 0) return false;
            std::memcpy(record.normal, &mesh.normals[size_t(i) * 3], sizeof record.normal);
          }
          records.push_back(weld(mesh, record, int(p)));
        }
        for (size_t k = 2; k < records.size(); ++k, ++t) {
          if (t >= mesh.triangle_count) return false;
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
      case keyword::use_material: {
        std::string_view line = in.rest_of_line();
        obj_text_reader words{line.data(), line.data() + line.size()};
        std::string_view name;
        if (!words.token(name)) name = {};
        auto found = mesh.material_index.find(std::string(name.substr(0, name.find('\0'))));
        material = found == mesh.material_index.end() ? 0 : found->second;
        break;
      }
      case keyword::position:
        if (positions >= mesh.position_count) return false;
        read_floats(in, &mesh.positions[size_t(positions++) * 3], 3);
        break;
      case keyword::texcoord:
        if (texcoords >= mesh.texcoord_count) return false;
        read_floats(in, &mesh.texcoords[size_t(texcoords++) * 2], 2);
        break;
      case keyword::normal:
        if (normals >= mesh.normal_count) return false;
        read_floats(in, &mesh.normals[size_t(normals++) * 3], 3);
        break;
      case keyword::other_v:
        break;
      default:
        in.skip_line();
        break;
    }
  }
  mesh.groups.push_back(int(t));
  // Triangles counted but never filled keep the indices 0, which need a vertex to point at.
  return mesh.triangle_count == 0 || !mesh.vertices.empty();
}

}  // namespace

bool obj_mesh::load_text(std::string_view text, bool recompute_normals) {
  *this = obj_mesh{};
  loaded = true;
  if (!count_statements(*this, text) || !fill_statements(*this, text)) {
    *this = obj_mesh{};
    return false;
  }
  if (recompute_normals || !has_normals) generate_normals(*this);
  return true;
}

bool obj_mesh::load(const char* file, bool recompute_normals) {
  std::FILE* in = std::fopen(file, "rb");
  if (!in) return false;
  // One read of the whole file when its size is known; a stream of unknown size is read in chunks.
  std::string text;
  std::fseek(in, 0, SEEK_END);
  long size = std::ftell(in);
  std::fseek(in, 0, SEEK_SET);
  size_t chunk = size > 0 ? size_t(size) + 1 : 65536;
  for (;;) {
    size_t have = text.size();
    text.resize(have + chunk);
    size_t got = std::fread(text.data() + have, 1, chunk, in);
    text.resize(have + got);
    if (got < chunk) break;
  }
  std::fclose(in);
  return load_text(text, recompute_normals);
}

std::vector<int> weld_table::records_of(int position) const {
  std::vector<int> records;
  if (position < 0 || size_t(position) >= head.size()) return records;
  for (int i = head[size_t(position)]; i >= 0; i = next[size_t(i)]) records.push_back(i);
  return records;
}
