#include "tools/texgen/pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace texgen {

namespace {

// Integer hash of a lattice point: the same value on every machine and run.
float lattice(int x, int y, int period, uint32_t seed) {
  x = ((x % period) + period) % period;
  y = ((y % period) + period) % period;
  uint32_t h =
      static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xffffff) / float(0xffffff);
}

float smooth(float t) { return t * t * (3 - 2 * t); }

// Value noise with `period` lattice cells across the picture, wrapping at its edges.
float value_noise(float u, float v, int period, uint32_t seed) {
  float x = u * period, y = v * period;
  int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  float fx = smooth(x - x0), fy = smooth(y - y0);
  float a = lattice(x0, y0, period, seed), b = lattice(x0 + 1, y0, period, seed);
  float c = lattice(x0, y0 + 1, period, seed), d = lattice(x0 + 1, y0 + 1, period, seed);
  return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

uint8_t to_byte(float v) { return static_cast<uint8_t>(std::clamp(std::lround(v * 255.0f), 0L, 255L)); }

}  // namespace

picture make_noise(int size) {
  picture p{size, size, std::vector<uint8_t>(static_cast<size_t>(size) * size)};
  const int panels = 4;  // panels across the picture
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
      float fbm = 0, amp = 0.5f, total = 0;
      for (int o = 0; o < 5; ++o) {
        fbm += amp * value_noise(u, v, 4 << o, 17 + o);
        total += amp;
        amp *= 0.5f;
      }
      fbm /= total;
      // Panels: every other row of panels is split in two, like courses of stone blocks.
      float pu = u * panels, pv = v * panels;
      int row = static_cast<int>(std::floor(pv));
      float cu = pu - std::floor(pu);
      if (row % 2 == 1) cu = std::fmod(pu * 2.0f, 1.0f);
      float cv = pv - row;
      float edge = std::min(std::min(cu, 1 - cu) * (row % 2 == 1 ? 0.5f : 1.0f), std::min(cv, 1 - cv));
      float joint = 1.0f - smooth(std::clamp(edge / 0.02f, 0.0f, 1.0f));
      // Each block sits at its own slight height.
      float block = lattice(static_cast<int>(std::floor(row % 2 == 1 ? pu * 2 : pu)), row, panels * 2, 91);
      float h = 0.5f + 0.22f * (fbm - 0.5f) + 0.06f * (block - 0.5f) - 0.3f * joint;
      p.grey[static_cast<size_t>(y) * size + x] = to_byte(h);
    }
  }
  return p;
}

picture make_blob(int size) {
  picture p{size, size, std::vector<uint8_t>(static_cast<size_t>(size) * size)};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      float dx = (x + 0.5f) / size * 2 - 1, dy = (y + 0.5f) / size * 2 - 1;
      float r = std::sqrt(dx * dx + dy * dy);
      float glow = std::exp(-r * r * 5.0f) * 0.85f + 0.15f * (1 - r);
      float fade = 1.0f - smooth(std::clamp((r - 0.55f) / 0.35f, 0.0f, 1.0f));
      p.grey[static_cast<size_t>(y) * size + x] = r >= 0.9f ? 0 : to_byte(glow * fade);
    }
  }
  return p;
}

bool write_ppm(const picture& p, const char* path) {
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  std::fprintf(f, "P6\n%d %d\n255\n", p.width, p.height);
  for (uint8_t g : p.grey) {
    const uint8_t rgb[3] = {g, g, g};
    std::fwrite(rgb, 1, 3, f);
  }
  bool ok = std::ferror(f) == 0;
  return std::fclose(f) == 0 && ok;
}

}  // namespace texgen
