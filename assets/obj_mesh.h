// A Wavefront OBJ mesh: loaded once from a text file into one welded, interleaved vertex array
// and a triangle index array, then drawn with client-side vertex arrays.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One welded vertex as GL reads it: stride 60, position at byte 0, texture coordinate at 12,
// normal at 20. The trailing floats are always zero and never sent to GL.
struct vertex_record {
  float position[3];
  float texcoord[2];
  float normal[3];
  float unused[7];
};
static_assert(sizeof(vertex_record) == 60);
static_assert(offsetof(vertex_record, texcoord) == 12);
static_assert(offsetof(vertex_record, normal) == 20);

struct obj_material {
  float ambient[4] = {};
  float diffuse[4] = {};
  float specular[4] = {};
  float shininess = 0;
  float dissolve = 0;
  std::string name;
  std::string diffuse_map;
  std::string bump_map;
};

// For every position index, the vertex records made from it, in creation order (a singly
// linked list threaded through the records, with head and tail per position), and a hash that
// finds the records of positions with long lists by what welding compares: the position index and
// the record's bytes.
struct weld_table {
  std::vector<int> head;  // first record of each position, -1 when none
  std::vector<int> tail;  // last record of each position
  std::vector<int> next;  // following record made from the same position, -1 at the end

  // Open addressing with linear probing, at most half full; `record` is empty_slot where none.
  struct slot {
    uint32_t record;
    uint32_t position;
  };
  static constexpr uint32_t empty_slot = ~0u;
  // A position's records are hashed once it has more than this many.
  static constexpr int scanned_records = 4;
  std::vector<slot> slots;
  size_t hashed = 0;         // records in the hash
  uint64_t comparisons = 0;  // records compared with a new corner's record so far

  std::vector<int> records_of(int position) const;
};

struct obj_mesh {
  std::vector<int> groups;
  bool loaded = false;
  bool has_positions = false;
  bool has_texcoords = false;
  bool has_normals = false;
  int position_count = 0;
  int texcoord_count = 0;
  int normal_count = 0;
  int triangle_count = 0;
  int library_count = 0;
  std::vector<obj_material> materials;
  std::vector<vertex_record> vertices;
  std::vector<uint32_t> triangles;
  std::vector<int> triangle_materials;
  std::vector<float> positions;
  std::vector<float> texcoords;
  std::vector<float> normals;
  std::unordered_map<std::string, int> material_index;
  weld_table weld_index;
  // Why the last load failed, or what it skipped and why the mesh shows nothing ("line 7:
  // position index 9 out of range (the file has 8 positions); the face is skipped", "empty");
  // empty when the text read cleanly. It does not name the file: the caller does.
  std::string problem;

  // Reads the OBJ file. A face that names an element that does not exist or lacks a number of
  // its form is skipped. False when the file cannot be opened (the mesh is unchanged but for
  // `problem`), when its statements run into each other so that they read two ways, or when
  // memory runs out (the mesh is left empty and unloaded).
  bool load(const char* file, bool recompute_normals);
  // The same for file contents already in memory; the mesh counts as opened.
  bool load_text(std::string_view text, bool recompute_normals);

  // Draws draw group `group`, or every group when it is negative. Needs a current GL context.
  void draw(int group);
};

// Sets every vertex normal to the normalised, area-weighted sum of the normals of the triangles
// that use the vertex; a vertex whose sum has no direction gets (0, 0, 0).
void generate_normals(obj_mesh& mesh);
