#pragma once
// A contact sheet: pictures in a grid on a dark ground, each with a label written under it.
#include <string>
#include <vector>

#include "capture/picture.h"

struct sheet_tile {
  picture image;
  std::string label;  // digits, '.', ':', '-', 's' and spaces; other characters are left blank
};

// Lays the tiles out `columns` to a row (all tiles the size of the first).
picture make_contact_sheet(const std::vector<sheet_tile>& tiles, int columns);

// Columns for n tiles: as many as make a roughly square sheet of 16:9 pictures, at most 6.
int contact_sheet_columns(int tiles);

// Writes `text` in a 5x7 pixel font, `scale` times enlarged, with its top-left corner at (x, y).
void draw_label(picture& target, int x, int y, const std::string& text, int scale);
