#pragma once
// A 3-vector with a validity state, and the arithmetic the engine and the show build on. The
// operations are inline: the tube sweep runs them for every vertex.
#include <cmath>

// state: 0 = undefined, 1 = valid, 2 = valid and already normalised by vec_normalize.
struct vec3 {
  int state = 0;
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// A valid vector (state 1) with the given components, each rounded to float.
inline vec3 make_vec3(double x, double y, double z) {
  vec3 v;
  v.state = 1;
  v.x = static_cast<float>(x);
  v.y = static_cast<float>(y);
  v.z = static_cast<float>(z);
  return v;
}

// Each result is written with state 1; an input of state 0 gives the zero vector.
inline void vec_add(const vec3& a, const vec3& b, vec3& result) {
  if (a.state == 0 || b.state == 0) {
    result = {1, 0.0f, 0.0f, 0.0f};
    return;
  }
  result = {1, a.x + b.x, a.y + b.y, a.z + b.z};
}

inline void vec_sub(const vec3& a, const vec3& b, vec3& result) {
  if (a.state == 0 || b.state == 0) {
    result = {1, 0.0f, 0.0f, 0.0f};
    return;
  }
  result = {1, a.x - b.x, a.y - b.y, a.z - b.z};
}

inline void vec_cross(const vec3& a, const vec3& b, vec3& result) {
  if (a.state == 0 || b.state == 0) {
    result = {1, 0.0f, 0.0f, 0.0f};
    return;
  }
  result = {1, a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// a * s keeping a's state (a normalised vector scaled stays marked 2); state 0 gives (0, 0, 0)
// with state 1.
inline void vec_scale(const vec3& a, float s, vec3& result) {
  if (a.state == 0) {
    result = {1, 0.0f, 0.0f, 0.0f};
    return;
  }
  result = {a.state, a.x * s, a.y * s, a.z * s};
}

inline vec3 vec_scaled(const vec3& a, float s) {
  vec3 result;
  vec_scale(a, s, result);
  return result;
}

// In place, only for state 1: becomes unit length (or zero when shorter than 1e-8, or not a
// number) and state 2. Vectors of state 0 or 2 are left untouched.
inline void vec_normalize(vec3& v) {
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
