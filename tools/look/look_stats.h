#pragma once
// How a frame of the show reads, in numbers: its light (mean luma, 5th and 95th percentile), the
// share of it covered by flat, strongly coloured blocks, and how much its fine detail flickers
// between two consecutive frames where the picture itself hardly moves.
#include <cstdint>
#include <vector>

namespace look {

// 8-bit pixels with `channels` bytes each (3 or 4; alpha is ignored), `width` x `height`, rows in
// either order (nothing measured here depends on it).
struct image_view {
  const uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int channels = 4;
};

struct frame_light {
  double mean = 0;               // mean luma, 0..1
  double p05 = 0, p95 = 0;       // 5th and 95th percentile of luma
  double flat_colour_share = 0;  // share of the frame in flat blocks of strong colour, 0..1
};

struct frame_flicker {
  double noise = 0;        // mean change of the fine detail in still areas, in 1/255 steps
  double still_share = 0;  // share of the frame counted as still
};

// Luma of one pixel, 0..1 (the broadcast weights on the stored values).
double luma(const uint8_t* rgb);

frame_light measure_light(const image_view& frame);

// A block (1/40 of the width, square, read as 4x4 cells) is flat when its cell means follow a
// plane to within 0.006 RMS: at most a smooth gradient of light, no texture, edge, crease or
// highlight (grain and dither average out in the cells). It is strongly coloured when its mean
// saturation is above 0.5 at a mean brightness above 0.2: a slab of one colour, not a lit object.
double flat_colour_share(const image_view& frame);

// Fine detail is each luma minus its 5x5 box average; a pixel is still when that average moves by
// less than 1/255 between the frames. The second frame is first scaled to the first one's mean
// luma, so a flash of the whole picture does not count. Both frames must have the same size.
frame_flicker measure_flicker(const image_view& a, const image_view& b);

// Luma of a rectangle (x0 <= x < x1, y0 <= y < y1, in the view's row order), for checks of parts of
// a picture such as letterbox bands: its brightest value, 0..1.
double brightest_luma(const image_view& frame, int x0, int y0, int x1, int y1);

}  // namespace look
