// Drawing a loaded OBJ mesh, one draw group or all of them, from client-side vertex arrays.
#include <GL/glew.h>

#include "assets/obj_mesh.h"

void obj_mesh::draw(int group) {
  // Never loaded, or loaded without a single vertex: there is no array to point GL at.
  if (!loaded || vertices.empty()) return;
  long long last_entry = static_cast<long long>(groups.size()) - 1;
  long long first = group < 0 ? 0 : group;
  long long last = group < 0 ? last_entry : static_cast<long long>(group) + 1;
  if (last < 0) last = 0;
  if (first > last_entry) first = last_entry;
  if (last > last_entry) last = last_entry;
  const char* base = reinterpret_cast<const char*>(vertices.data());
  for (long long g = first; g < last; ++g) {
    int start = groups[size_t(g)];
    int count = groups[size_t(g) + 1] - start;
    if (has_positions) {
      glEnableClientState(GL_VERTEX_ARRAY);
      glVertexPointer(3, GL_FLOAT, sizeof(vertex_record), base);
    }
    if (has_texcoords) {
      glEnableClientState(GL_TEXTURE_COORD_ARRAY);
      glTexCoordPointer(2, GL_FLOAT, sizeof(vertex_record), base + 12);
    }
    if (has_normals) {
      glEnableClientState(GL_NORMAL_ARRAY);
      glNormalPointer(GL_FLOAT, sizeof(vertex_record), base + 20);
    }
    glDrawElements(GL_TRIANGLES, 3 * count, GL_UNSIGNED_INT, triangles.data() + 3 * size_t(start));
    if (has_normals) glDisableClientState(GL_NORMAL_ARRAY);
    if (has_positions) glDisableClientState(GL_VERTEX_ARRAY);
    if (has_texcoords) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
}
