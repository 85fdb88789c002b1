#pragma once
// The show's two pictures as 8-bit grey levels, row-major, top row first.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace texgen {

struct picture {
  int width = 0, height = 0;
  std::vector<uint8_t> grey;
  uint8_t at(int x, int y) const { return grey[static_cast<size_t>(y) * width + x]; }
};

// Height field for the surface normal map: stone panels with grooved joints over layered value
// noise. Every lattice period divides the size, so the picture tiles without seams.
picture make_noise(int size);

// A soft round light: bright centre, smooth falloff, exactly black outside 0.9 of the radius.
picture make_blob(int size);

// Writes the picture as a binary PPM with equal red, green and blue (the JPEG encoder then keeps
// three components). Returns false when the file cannot be written.
bool write_ppm(const picture& p, const char* path);

}  // namespace texgen
