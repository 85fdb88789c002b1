// Contact sheets (layout, columns, label glyphs) and the progress line.
#include "capture/contact_sheet.h"

#include <gtest/gtest.h>

#include "capture/progress.h"

namespace {

picture filled(int w, int h, uint8_t value) {
  picture p;
  p.width = w;
  p.height = h;
  p.rgba.assign(static_cast<size_t>(w) * h * 4, value);
  return p;
}

// Bounding box of the pixels in [x0, x1) x [y0, y1) brighter than `level`.
struct box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};
box bright_pixels(const picture& p, int x0, int y0, int x1, int y1, int level) {
  box b;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      if (p.pixel(x, y)[0] <= level) continue;
      b.left = std::min(b.left, x);
      b.right = std::max(b.right, x);
      b.top = std::min(b.top, y);
      b.bottom = std::max(b.bottom, y);
    }
  }
  return b;
}

TEST(ContactSheet, TilesSitInRowsWithTheirLabelsBelow) {
  std::vector<sheet_tile> tiles;
  for (int i = 0; i < 5; ++i)
    tiles.push_back({filled(40, 20, static_cast<uint8_t>(100 + i)), std::to_string(10 + i)});
  const picture sheet = make_contact_sheet(tiles, 3);
  // Three columns and two rows, every tile whole and in order.
  ASSERT_GT(sheet.width, 3 * 40);
  ASSERT_GT(sheet.height, 2 * 20);
  int found = 0;
  for (int y = 0; y < sheet.height; ++y) {
    for (int x = 0; x < sheet.width; ++x) {
      const uint8_t v = sheet.pixel(x, y)[0];
      if (v >= 100 && v < 105) ++found;
    }
  }
  EXPECT_EQ(found, 5 * 40 * 20);
  // Tile 4 is the second of the second row, right of tile 3 and below tile 1.
  int x1 = -1, y1 = -1, x3 = -1, y3 = -1, x4 = -1, y4 = -1;
  for (int y = 0; y < sheet.height; ++y) {
    for (int x = 0; x < sheet.width; ++x) {
      const uint8_t v = sheet.pixel(x, y)[0];
      if (v == 101 && x1 < 0) x1 = x, y1 = y;
      if (v == 103 && x3 < 0) x3 = x, y3 = y;
      if (v == 104 && x4 < 0) x4 = x, y4 = y;
    }
  }
  EXPECT_EQ(x4, x1);
  EXPECT_GT(y4, y1 + 20);
  EXPECT_EQ(y4, y3);
  EXPECT_GT(x4, x3 + 40);
  // The label of tile 0 is drawn in the band under it, not over the picture.
  int tile0_x = -1, tile0_y = -1;
  for (int y = 0; y < sheet.height && tile0_x < 0; ++y) {
    for (int x = 0; x < sheet.width; ++x) {
      if (sheet.pixel(x, y)[0] == 100) {
        tile0_x = x, tile0_y = y;
        break;
      }
    }
  }
  const box under0 = bright_pixels(sheet, tile0_x, tile0_y + 20, tile0_x + 40, tile0_y + 20 + 40, 200);
  EXPECT_GE(under0.right, tile0_x);
  EXPECT_GT(under0.top, tile0_y + 19);
}

TEST(ContactSheet, LabelGlyphsAreDistinctAndUnknownCharactersStayBlank) {
  auto ink = [](const std::string& text) {
    picture p = filled(80, 20, 0);
    draw_label(p, 1, 1, text, 1);
    std::vector<uint8_t> mask;
    for (size_t i = 0; i < p.rgba.size(); i += 4) mask.push_back(p.rgba[i] > 0);
    return mask;
  };
  const std::string digits = "0123456789";
  for (size_t a = 0; a < digits.size(); ++a) {
    for (size_t b = a + 1; b < digits.size(); ++b) {
      EXPECT_NE(ink(std::string(1, digits[a])), ink(std::string(1, digits[b]))) << digits[a] << digits[b];
    }
  }
  EXPECT_EQ(ink("?"), ink(" "));
  // Drawing off the picture's edge is clipped, not written out of bounds.
  picture small = filled(4, 4, 0);
  draw_label(small, -3, -3, "88", 3);
  EXPECT_EQ(small.rgba.size(), 64u);
}

TEST(ContactSheet, ColumnsKeepTheSheetRoughlySquare) {
  EXPECT_EQ(contact_sheet_columns(1), 1);
  EXPECT_EQ(contact_sheet_columns(2), 2);
  EXPECT_EQ(contact_sheet_columns(22), 5);
  EXPECT_EQ(contact_sheet_columns(200), 6);
}

TEST(Progress, LineShowsCountRateAndTimeLeft) {
  const std::string half = progress_line(50, 100, 10.0);
  EXPECT_NE(half.find("50/100 frames"), std::string::npos) << half;
  EXPECT_NE(half.find("5.0 frames/s"), std::string::npos) << half;
  EXPECT_NE(half.find("ETA 0:10"), std::string::npos) << half;
  EXPECT_NE(half.find("[###############...............]"), std::string::npos) << half;
  EXPECT_NE(progress_line(0, 100, 0.0).find("ETA ?"), std::string::npos);
  EXPECT_NE(progress_line(130, 100, 1.0).find("[##############################]"), std::string::npos);
  EXPECT_NE(progress_line(7, 0, 3.5).find("7 frames  2.0 frames/s"), std::string::npos);
}

}  // namespace
