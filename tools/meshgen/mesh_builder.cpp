#include "tools/meshgen/mesh_builder.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <tuple>

namespace meshgen {

v3 operator+(v3 a, v3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
v3 operator-(v3 a, v3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
v3 operator*(v3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
v3 cross(v3 a, v3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float dot(v3 a, v3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float length(v3 a) { return std::sqrt(dot(a, a)); }
v3 normalize(v3 a) {
  float l = length(a);
  return l > 1e-12f ? a * (1.0f / l) : v3{0, 0, 0};
}
v3 lerp(v3 a, v3 b, float t) { return a + (b - a) * t; }

v3 affine::point(v3 p) const {
  return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
          m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
          m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]};
}

affine affine::translate(v3 t) {
  affine a;
  a.m[0][3] = t.x;
  a.m[1][3] = t.y;
  a.m[2][3] = t.z;
  return a;
}

affine affine::scale(v3 s) {
  affine a;
  a.m[0][0] = s.x;
  a.m[1][1] = s.y;
  a.m[2][2] = s.z;
  return a;
}

namespace {
affine rotation(int axis, float degrees) {
  float r = degrees * std::numbers::pi_v<float> / 180.0f;
  float c = std::cos(r), s = std::sin(r);
  int i = (axis + 1) % 3, j = (axis + 2) % 3;
  affine a;
  a.m[i][i] = c;
  a.m[i][j] = -s;
  a.m[j][i] = s;
  a.m[j][j] = c;
  return a;
}
}  // namespace

affine affine::rotate_x(float degrees) { return rotation(0, degrees); }
affine affine::rotate_y(float degrees) { return rotation(1, degrees); }
affine affine::rotate_z(float degrees) { return rotation(2, degrees); }

affine operator*(const affine& a, const affine& b) {
  affine r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 4; ++j) {
      float v = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
      r.m[i][j] = j == 3 ? v + a.m[i][3] : v;
    }
  }
  return r;
}

void mesh_builder::object(const std::string& name) { objects_.push_back({name, tris_.size()}); }

void mesh_builder::triangle(v3 a, v3 b, v3 c) {
  v3 n = cross(b - a, c - a);
  if (length(n) < 1e-7f) return;
  n = normalize(n);
  tris_.push_back({corner{a, n}, corner{b, n}, corner{c, n}});
}

void mesh_builder::quad(v3 a, v3 b, v3 c, v3 d) {
  triangle(a, b, c);
  triangle(a, c, d);
}

void mesh_builder::smooth_triangle(v3 a, v3 b, v3 c, v3 na, v3 nb, v3 nc) {
  if (length(cross(b - a, c - a)) < 1e-7f) return;
  tris_.push_back({corner{a, normalize(na)}, corner{b, normalize(nb)}, corner{c, normalize(nc)}});
}

void mesh_builder::hexa(const std::array<v3, 8>& c) {
  v3 centre{};
  for (const v3& p : c) centre = centre + p * 0.125f;
  // Corner indices of the six faces, each listed around its rim.
  static const int faces[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                  {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
  for (const auto& f : faces) {
    v3 a = c[f[0]], b = c[f[1]], cc = c[f[2]], d = c[f[3]];
    v3 n = cross(cc - a, d - b);
    v3 mid = (a + b + cc + d) * 0.25f;
    if (dot(n, mid - centre) < 0) {
      quad(a, d, cc, b);
    } else {
      quad(a, b, cc, d);
    }
  }
}

void mesh_builder::box(const affine& t, v3 lo, v3 hi) {
  hexa({t.point({lo.x, lo.y, lo.z}), t.point({hi.x, lo.y, lo.z}), t.point({hi.x, lo.y, hi.z}),
        t.point({lo.x, lo.y, hi.z}), t.point({lo.x, hi.y, lo.z}), t.point({hi.x, hi.y, lo.z}),
        t.point({hi.x, hi.y, hi.z}), t.point({lo.x, hi.y, hi.z})});
}

void mesh_builder::cylinder(const affine& t, float radius, float y0, float y1, int sides) {
  v3 c0 = t.point({0, y0, 0}), c1 = t.point({0, y1, 0});
  for (int i = 0; i < sides; ++i) {
    float a0 = 2 * std::numbers::pi_v<float> * i / sides;
    float a1 = 2 * std::numbers::pi_v<float> * (i + 1) / sides;
    v3 d0{std::cos(a0), 0, std::sin(a0)}, d1{std::cos(a1), 0, std::sin(a1)};
    v3 p00 = t.point(d0 * radius + v3{0, y0, 0}), p01 = t.point(d0 * radius + v3{0, y1, 0});
    v3 p10 = t.point(d1 * radius + v3{0, y0, 0}), p11 = t.point(d1 * radius + v3{0, y1, 0});
    v3 n0 = t.point(d0) - t.point({}), n1 = t.point(d1) - t.point({});
    smooth_triangle(p00, p01, p11, n0, n0, n1);
    smooth_triangle(p00, p11, p10, n0, n1, n1);
    triangle(c0, p00, p10);
    triangle(c1, p11, p01);
  }
}

void mesh_builder::append(const mesh_builder& other, const affine& t) {
  v3 origin = t.point({});
  for (const auto& tri : other.tris_) {
    std::array<corner, 3> out;
    for (int i = 0; i < 3; ++i) out[i] = {t.point(tri[i].p), normalize(t.point(tri[i].n) - origin)};
    tris_.push_back(out);
  }
}

namespace {
// Coordinates are written with four decimals; keys are the rounded values so that equal printed
// positions become one `v` line.
using key = std::tuple<long, long, long>;
key quantise(v3 p) {
  return {std::lround(p.x * 10000.0f), std::lround(p.y * 10000.0f), std::lround(p.z * 10000.0f)};
}
int index_of(std::map<key, int>& table, std::vector<key>& order, key k) {
  auto [it, added] = table.emplace(k, static_cast<int>(order.size()) + 1);
  if (added) order.push_back(k);
  return it->second;
}
void print_fixed(std::FILE* f, long q) {
  long whole = std::labs(q) / 10000, frac = std::labs(q) % 10000;
  std::fprintf(f, " %s%ld.%04ld", q < 0 ? "-" : "", whole, frac);
}
}  // namespace

bool mesh_builder::write_obj(const std::string& path, bool with_normals) const {
  std::map<key, int> pos_table, nrm_table;
  std::vector<key> pos_order, nrm_order;
  std::vector<std::array<int, 6>> faces;
  faces.reserve(tris_.size());
  for (const auto& t : tris_) {
    std::array<int, 6> f{};
    for (int i = 0; i < 3; ++i) {
      f[i] = index_of(pos_table, pos_order, quantise(t[i].p));
      if (with_normals) f[3 + i] = index_of(nrm_table, nrm_order, quantise(t[i].n));
    }
    faces.push_back(f);
  }
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  std::fprintf(out, "# generated by meshgen\n");
  for (const key& k : pos_order) {
    std::fputs("v", out);
    print_fixed(out, std::get<0>(k));
    print_fixed(out, std::get<1>(k));
    print_fixed(out, std::get<2>(k));
    std::fputs("\n", out);
  }
  for (const key& k : nrm_order) {
    std::fputs("vn", out);
    print_fixed(out, std::get<0>(k));
    print_fixed(out, std::get<1>(k));
    print_fixed(out, std::get<2>(k));
    std::fputs("\n", out);
  }
  for (size_t o = 0; o < objects_.size(); ++o) {
    size_t end = o + 1 < objects_.size() ? objects_[o + 1].second : faces.size();
    std::fprintf(out, "o %s\n", objects_[o].first.c_str());
    for (size_t i = objects_[o].second; i < end; ++i) {
      const auto& f = faces[i];
      if (with_normals) {
        std::fprintf(out, "f %d//%d %d//%d %d//%d\n", f[0], f[3], f[1], f[4], f[2], f[5]);
      } else {
        std::fprintf(out, "f %d %d %d\n", f[0], f[1], f[2]);
      }
    }
  }
  bool ok = std::ferror(out) == 0;
  return std::fclose(out) == 0 && ok;
}

}  // namespace meshgen
