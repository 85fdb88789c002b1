// The frame measurements on pictures whose answers are known: percentiles of a ramp, flat colour
// told apart from lit colour and from grey, flicker counted only where the picture stands still.
#include "tools/look/look_stats.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace look {
namespace {

struct picture {
  int width, height;
  std::vector<uint8_t> rgb;
  picture(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3) {}
  void set(int x, int y, int r, int g, int b) {
    uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    p[0] = static_cast<uint8_t>(r), p[1] = static_cast<uint8_t>(g), p[2] = static_cast<uint8_t>(b);
  }
  image_view view() const { return {rgb.data(), width, height, 3}; }
};

picture filled(int w, int h, int r, int g, int b) {
  picture p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.set(x, y, r, g, b);
  return p;
}

TEST(LookStats, LightOfARampAndOfUniformFrames) {
  picture ramp(256, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 256; ++x) ramp.set(x, y, x, x, x);
  const frame_light light = measure_light(ramp.view());
  EXPECT_NEAR(light.mean, 127.5 / 255, 1e-3);
  EXPECT_NEAR(light.p05, 0.05, 0.01);
  EXPECT_NEAR(light.p95, 0.95, 0.01);

  const frame_light black = measure_light(filled(64, 36, 0, 0, 0).view());
  EXPECT_EQ(black.mean, 0.0);
  EXPECT_EQ(black.p95, 0.0);
}

TEST(LookStats, FlatColourIsASlabOfStrongColourWithoutShading) {
  EXPECT_DOUBLE_EQ(flat_colour_share(filled(320, 180, 230, 220, 20).view()), 1.0) << "a yellow slab";
  EXPECT_DOUBLE_EQ(flat_colour_share(filled(320, 180, 128, 128, 128).view()), 0.0) << "grey is not colour";
  EXPECT_DOUBLE_EQ(flat_colour_share(filled(320, 180, 30, 28, 3).view()), 0.0)
      << "too dark to read as a slab";

  // The same yellow lit across its face (a gradient plus texture) is an object, not a slab.
  picture lit(320, 180);
  for (int y = 0; y < 180; ++y)
    for (int x = 0; x < 320; ++x) {
      const int shade = 120 + x / 3 + ((x * 7 + y * 13) % 17) * 3;
      lit.set(x, y, shade, shade * 95 / 100, shade / 10);
    }
  EXPECT_LT(flat_colour_share(lit.view()), 0.05);

  // Half the frame a slab, half lit.
  picture half = lit;
  for (int y = 0; y < 180; ++y)
    for (int x = 0; x < 160; ++x) half.set(x, y, 230, 220, 20);
  EXPECT_NEAR(flat_colour_share(half.view()), 0.5, 0.03);
}

TEST(LookStats, FlickerCountsChangingDetailOnlyWhereThePictureIsStill) {
  picture a(128, 64), b(128, 64);
  unsigned seed = 7;
  auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 128; ++x) {
      const int detail = static_cast<int>(next() % 9);
      a.set(x, y, 100 + detail, 100 + detail, 100 + detail);
      b.set(x, y, 100 + detail, 100 + detail, 100 + detail);
    }
  const frame_flicker same = measure_flicker(a.view(), b.view());
  EXPECT_EQ(same.noise, 0.0) << "the same detail in both frames does not flicker";
  EXPECT_DOUBLE_EQ(same.still_share, 1.0);

  // New detail of the same strength in the second frame: the average stays, the detail changes.
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 128; ++x) {
      const int detail = static_cast<int>(next() % 9);
      b.set(x, y, 100 + detail, 100 + detail, 100 + detail);
    }
  const frame_flicker boiling = measure_flicker(a.view(), b.view());
  EXPECT_GT(boiling.noise, 2.0);
  EXPECT_GT(boiling.still_share, 0.5);

  // A picture that moves (a bright bar crosses its right half) is not counted there.
  picture moved = a, bar = a;
  for (int y = 0; y < 64; ++y) {
    for (int x = 64; x < 96; ++x) moved.set(x, y, 200, 200, 200);
    for (int x = 96; x < 128; ++x) bar.set(x, y, 200, 200, 200);
  }
  const frame_flicker moving = measure_flicker(moved.view(), bar.view());
  EXPECT_LT(moving.still_share, 0.55);
  EXPECT_LT(moving.noise, 0.01);

  // The whole picture 15% brighter (a flash on the kick): no flicker.
  picture flash(128, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 128; ++x) {
      const uint8_t* p = &a.rgb[(static_cast<size_t>(y) * 128 + x) * 3];
      const int v = p[0] * 115 / 100;
      flash.set(x, y, v, v, v);
    }
  const frame_flicker flashed = measure_flicker(a.view(), flash.view());
  EXPECT_LT(flashed.noise, 0.6);
  EXPECT_GT(flashed.still_share, 0.9);
}

TEST(LookStats, BrightestLumaOfABand) {
  picture p = filled(40, 30, 0, 0, 0);
  p.set(20, 25, 255, 255, 255);
  EXPECT_EQ(brightest_luma(p.view(), 0, 0, 40, 10), 0.0);
  EXPECT_NEAR(brightest_luma(p.view(), 0, 20, 40, 30), 1.0, 1e-9);
}

}  // namespace
}  // namespace look
