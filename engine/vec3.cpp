#include "engine/vec3.h"

#include <cmath>

void vec_add(const vec3& a, const vec3& b, vec3& result) {
  if (a.state == 0 || b.state == 0) {
    result = {1, 0.0f, 0.0f, 0.0f};
    return;
  }
  result = {1, a.x + b.x, a.y + b.y, a.z + b.z};
}

void vec_sub(const vec3& a, const vec3& b, vec3& result) {
  if (a.state == 0 || b.state == 0) {
    result = {1, 0.0f, 0.0f, 0.0f};
    return;
  }
  result = {1, a.x - b.x, a.y - b.y, a.z - b.z};
}

void vec_cross(const vec3& a, const vec3& b, vec3& result) {
  if (a.state == 0 || b.state == 0) {
    result = {1, 0.0f, 0.0f, 0.0f};
    return;
  }
  result = {1, a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void vec_scale(const vec3& a, float s, vec3& result) {
  if (a.state == 0) {
    result = {1, 0.0f, 0.0f, 0.0f};
    return;
  }
  result = {a.state, a.x * s, a.y * s, a.z * s};
}

vec3 vec_scaled(const vec3& a, float s) {
  vec3 result;
  vec_scale(a, s, result);
  return result;
}

void vec_normalize(vec3& v) {
  if (v.state != 1) return;
  v.state = 2;
  // The length is taken in double so that large components do not overflow to infinity.
  const double length = std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
  if (!(length >= 1e-8)) {
    v.x = v.y = v.z = 0.0f;
    return;
  }
  const float inverse = float(1.0 / length);
  v.x *= inverse;
  v.y *= inverse;
  v.z *= inverse;
}
