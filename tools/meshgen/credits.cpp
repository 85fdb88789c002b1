// The credits: three objects of extruded block letters. Each filled run of cells in a glyph row
// becomes one bevelled bar, so the letters read as carved blocks rather than pixels.
#include <string>

#include "tools/meshgen/font.h"
#include "tools/meshgen/shapes.h"

namespace meshgen {

namespace {

constexpr float cell = 0.2f, depth = 0.5f, bevel = 0.03f;

void text_line(mesh_builder& m, const std::string& text) {
  const float advance = 6 * cell;
  float x0 = -0.5f * (advance * text.size() - cell);
  const affine id;
  for (size_t i = 0; i < text.size(); ++i) {
    const glyph* g = find_glyph(text[i]);
    if (!g) g = find_glyph(' ');
    float gx = x0 + advance * i;
    for (int row = 0; row < 7; ++row) {
      std::string_view cells = (*g)[row];
      float y1 = (3.5f - row) * cell, y0 = y1 - cell;
      for (int c = 0; c < 5;) {
        if (cells[c] != '#') {
          ++c;
          continue;
        }
        int end = c;
        while (end < 5 && cells[end] == '#') ++end;
        float a = gx + c * cell, b = gx + end * cell;
        // Front face slightly inset: a bevelled block made of a core and a thinner face plate.
        m.box(id, {a, y0, -depth}, {b, y1, depth - bevel});
        m.box(id, {a + bevel, y0 + bevel, depth - bevel}, {b - bevel, y1 - bevel, depth});
        c = end;
      }
    }
  }
}

}  // namespace

void build_credits(mesh_builder& m) {
  // The end block draws object 1, then 2, then 0 from the top down.
  m.object("title");
  text_line(m, "VORTELINE");
  m.object("music");
  text_line(m, "MUSIC ZELMOR");
  m.object("visuals");
  text_line(m, "CODE & DATA");
}

}  // namespace meshgen
