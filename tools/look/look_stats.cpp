#include "tools/look/look_stats.h"

#include <algorithm>
#include <cmath>

namespace look {

namespace {

const uint8_t* at(const image_view& f, int x, int y) {
  return f.pixels + (static_cast<size_t>(y) * f.width + x) * f.channels;
}

std::vector<float> luma_plane(const image_view& f) {
  std::vector<float> plane(static_cast<size_t>(f.width) * f.height);
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x)
      plane[static_cast<size_t>(y) * f.width + x] = static_cast<float>(luma(at(f, x, y)));
  return plane;
}

// 5x5 box average with the edges clamped, as two running sums.
std::vector<float> box_blur(const std::vector<float>& plane, int w, int h) {
  constexpr int r = 2;
  std::vector<float> rows(plane.size()), out(plane.size());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      float sum = 0;
      for (int d = -r; d <= r; ++d) sum += plane[static_cast<size_t>(y) * w + std::clamp(x + d, 0, w - 1)];
      rows[static_cast<size_t>(y) * w + x] = sum / (2 * r + 1);
    }
  }
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      float sum = 0;
      for (int d = -r; d <= r; ++d) sum += rows[static_cast<size_t>(std::clamp(y + d, 0, h - 1)) * w + x];
      out[static_cast<size_t>(y) * w + x] = sum / (2 * r + 1);
    }
  }
  return out;
}

}  // namespace

double luma(const uint8_t* rgb) { return (0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2]) / 255.0; }

frame_light measure_light(const image_view& frame) {
  frame_light result;
  const size_t count = static_cast<size_t>(frame.width) * frame.height;
  if (count == 0) return result;
  // Luma in 1/255 steps: a histogram gives the percentiles exactly.
  std::vector<size_t> histogram(256 * 4 + 1);
  double sum = 0;
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      const double l = luma(at(frame, x, y));
      sum += l;
      ++histogram[static_cast<size_t>(std::lround(l * 1024.0))];
    }
  }
  auto percentile = [&](double share) {
    const size_t wanted = static_cast<size_t>(share * static_cast<double>(count - 1));
    size_t seen = 0;
    for (size_t bin = 0; bin < histogram.size(); ++bin) {
      seen += histogram[bin];
      if (seen > wanted) return static_cast<double>(bin) / 1024.0;
    }
    return 1.0;
  };
  result.mean = sum / static_cast<double>(count);
  result.p05 = percentile(0.05);
  result.p95 = percentile(0.95);
  result.flat_colour_share = flat_colour_share(frame);
  return result;
}

double flat_colour_share(const image_view& frame) {
  // Blocks of 1/40 of the width, read as 4x4 cells: the cell means see shading and texture but not
  // grain or dither, and a plane fitted through them takes out a smooth gradient of light.
  constexpr int cells = 4;
  const int cell = std::max(2, frame.width / 40 / cells);
  const int block = cells * cell;
  const int bx = frame.width / block, by = frame.height / block;
  if (bx == 0 || by == 0) return 0.0;
  int flat_coloured = 0;
  for (int j = 0; j < by; ++j) {
    for (int i = 0; i < bx; ++i) {
      double means[cells][cells] = {};
      double saturation = 0, value = 0;
      for (int y = 0; y < block; ++y) {
        for (int x = 0; x < block; ++x) {
          const uint8_t* p = at(frame, i * block + x, j * block + y);
          means[y / cell][x / cell] += luma(p) / (cell * cell);
          const int top = std::max({p[0], p[1], p[2]}), bottom = std::min({p[0], p[1], p[2]});
          saturation += top > 0 ? static_cast<double>(top - bottom) / top : 0.0;
          value += top / 255.0;
        }
      }
      // Least squares: mean plus a slope along x and along y over the centred cell positions.
      double mean = 0, slope_x = 0, slope_y = 0, spread = 0;
      for (int cy = 0; cy < cells; ++cy)
        for (int cx = 0; cx < cells; ++cx) {
          mean += means[cy][cx] / (cells * cells);
          slope_x += means[cy][cx] * (cx - 1.5) / 20.0;  // sum of (cx - 1.5)^2 over the block: 20
          slope_y += means[cy][cx] * (cy - 1.5) / 20.0;
        }
      for (int cy = 0; cy < cells; ++cy)
        for (int cx = 0; cx < cells; ++cx) {
          const double r = means[cy][cx] - mean - slope_x * (cx - 1.5) - slope_y * (cy - 1.5);
          spread += r * r / (cells * cells);
        }
      const double n = static_cast<double>(block) * block;
      if (std::sqrt(spread) < 0.006 && saturation / n > 0.5 && value / n > 0.2) ++flat_coloured;
    }
  }
  return static_cast<double>(flat_coloured) / (static_cast<double>(bx) * by);
}

frame_flicker measure_flicker(const image_view& a, const image_view& b) {
  frame_flicker result;
  const int w = a.width, h = a.height;
  if (w != b.width || h != b.height || w == 0 || h == 0) return result;
  const std::vector<float> la = luma_plane(a);
  std::vector<float> lb = luma_plane(b);
  // A change of the whole picture's brightness (the light flashing on a kick) is not flicker:
  // the second frame is brought to the first one's mean first.
  double sum_a = 0, sum_b = 0;
  for (size_t i = 0; i < la.size(); ++i) sum_a += la[i], sum_b += lb[i];
  if (sum_b > 0)
    for (float& l : lb) l = static_cast<float>(l * (sum_a / sum_b));
  const std::vector<float> ba = box_blur(la, w, h), bb = box_blur(lb, w, h);
  double change = 0;
  size_t still = 0;
  for (size_t i = 0; i < la.size(); ++i) {
    if (std::fabs(ba[i] - bb[i]) >= 1.0f / 255.0f) continue;
    change += std::fabs((la[i] - ba[i]) - (lb[i] - bb[i]));
    ++still;
  }
  result.still_share = static_cast<double>(still) / static_cast<double>(la.size());
  result.noise = still ? change / static_cast<double>(still) * 255.0 : 0.0;
  return result;
}

double brightest_luma(const image_view& frame, int x0, int y0, int x1, int y1) {
  double brightest = 0;
  for (int y = std::max(0, y0); y < std::min(frame.height, y1); ++y)
    for (int x = std::max(0, x0); x < std::min(frame.width, x1); ++x)
      brightest = std::max(brightest, luma(at(frame, x, y)));
  return brightest;
}

}  // namespace look
