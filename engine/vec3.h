#pragma once
// A 3-vector with a validity state, and the arithmetic the engine and the show build on.

// state: 0 = undefined, 1 = valid, 2 = valid and already normalised by vec_normalize.
struct vec3 {
  int state = 0;
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// Each result is written with state 1; an input of state 0 gives the zero vector.
void vec_add(const vec3& a, const vec3& b, vec3& result);
void vec_sub(const vec3& a, const vec3& b, vec3& result);
void vec_cross(const vec3& a, const vec3& b, vec3& result);

// a * s keeping a's state (a normalised vector scaled stays marked 2); state 0 gives (0, 0, 0)
// with state 1.
void vec_scale(const vec3& a, float s, vec3& result);
vec3 vec_scaled(const vec3& a, float s);

// In place, only for state 1: becomes unit length (or zero when shorter than 1e-8) and state 2.
// Vectors of state 0 or 2 are left untouched.
void vec_normalize(vec3& v);
