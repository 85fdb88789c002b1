// Contact sheets: the grid of pictures on a dark ground and the 5x7 pixel font of their labels.
#include "capture/contact_sheet.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int glyph_width = 5;
constexpr int glyph_height = 7;
constexpr int margin = 8;
constexpr int label_scale = 2;
constexpr int label_height = glyph_height * label_scale + 2 * margin;
constexpr uint8_t ground = 24;
constexpr uint8_t ink = 220;
// Columns at most: a sheet of many pictures grows downwards and stays readable on a screen.
constexpr int max_columns = 6;

struct glyph {
  char c;
  const char* rows[glyph_height];
};

constexpr glyph glyphs[] = {
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
    {'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {'s', {".....", ".....", ".####", "#....", ".###.", "....#", "####."}},
};

const glyph* find_glyph(char c) {
  for (const glyph& g : glyphs) {
    if (g.c == c) return &g;
  }
  return nullptr;
}

}  // namespace

void draw_label(picture& target, int x, int y, const std::string& text, int scale) {
  for (size_t i = 0; i < text.size(); ++i) {
    const glyph* g = find_glyph(text[i]);
    if (!g) continue;
    const int left = x + static_cast<int>(i) * (glyph_width + 1) * scale;
    for (int row = 0; row < glyph_height; ++row) {
      for (int col = 0; col < glyph_width; ++col) {
        if (g->rows[row][col] != '#') continue;
        for (int dy = 0; dy < scale; ++dy) {
          for (int dx = 0; dx < scale; ++dx) {
            const int px = left + col * scale + dx, py = y + row * scale + dy;
            if (px < 0 || py < 0 || px >= target.width || py >= target.height) continue;
            uint8_t* p = target.pixel(px, py);
            p[0] = p[1] = p[2] = ink;
            p[3] = 255;
          }
        }
      }
    }
  }
}

int contact_sheet_columns(int tiles) {
  const int columns = static_cast<int>(std::ceil(std::sqrt(tiles * 9.0 / 16.0 * 2.0)));
  return std::clamp(columns, 1, std::min(max_columns, std::max(tiles, 1)));
}

picture make_contact_sheet(const std::vector<sheet_tile>& tiles, int columns) {
  picture sheet;
  if (tiles.empty()) return sheet;
  const int tile_w = tiles[0].image.width, tile_h = tiles[0].image.height;
  const int rows = (static_cast<int>(tiles.size()) + columns - 1) / columns;
  sheet.width = margin + columns * (tile_w + margin);
  sheet.height = margin + rows * (tile_h + label_height);
  sheet.rgba.assign(static_cast<size_t>(sheet.width) * sheet.height * 4, ground);
  for (size_t i = 3; i < sheet.rgba.size(); i += 4) sheet.rgba[i] = 255;

  for (size_t i = 0; i < tiles.size(); ++i) {
    const picture& image = tiles[i].image;
    const int left = margin + static_cast<int>(i % columns) * (tile_w + margin);
    const int top = margin + static_cast<int>(i / columns) * (tile_h + label_height);
    const int w = std::min(image.width, tile_w), h = std::min(image.height, tile_h);
    for (int y = 0; y < h; ++y)
      std::memcpy(sheet.pixel(left, top + y), image.pixel(0, y), static_cast<size_t>(w) * 4);
    draw_label(sheet, left, top + tile_h + margin, tiles[i].label, label_scale);
  }
  return sheet;
}
