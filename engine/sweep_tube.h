#pragma once
// Tubes swept along a key track: rings of `sides` points around the track's centre line, sized by
// the radius in channel1's x, joined ring to ring with quads. Nothing is stored; every call samples
// the track and emits the geometry again.
#include <cstddef>
#include <vector>

#include "engine/spline_track.h"
#include "engine/vec3.h"

// Emits into immediate-mode GL: glBegin(GL_QUADS), glNormal3f, glVertex3f, glEnd.
struct tube_gl_sink {
  void begin();
  void normal(const vec3& n);
  void vertex(const vec3& v);
  void end();
};

// Keeps what a sweep emits, for tests and benchmarks: one normal per quad, four vertices per quad,
// and where each primitive starts in `vertices`. clear() keeps the storage.
struct tube_recording {
  std::vector<vec3> normals;
  std::vector<vec3> vertices;
  std::vector<std::size_t> primitive_starts;
  int open_primitives = 0;  // begin() without end(); 0 after a complete sweep

  void begin() {
    primitive_starts.push_back(vertices.size());
    ++open_primitives;
  }
  void normal(const vec3& n) { normals.push_back(n); }
  void vertex(const vec3& v) { vertices.push_back(v); }
  void end() { --open_primitives; }
  void clear() {
    normals.clear();
    vertices.clear();
    primitive_starts.clear();
    open_primitives = 0;
  }
};

// Sweeps from key position `start` towards `end` in `segments` steps (sides 1..999; more are
// limited to 999) with `up` orienting the rings. Sets the track's channels to 2.
template <class Sink>
void sweep_tube(Sink& sink, spline_track& track, const vec3& up, const double& start, const double& end,
                int segments, int sides);

// The program's form: into immediate-mode GL.
void sweep_tube(spline_track& track, const vec3& up, const double& start, const double& end, int segments,
                int sides);
