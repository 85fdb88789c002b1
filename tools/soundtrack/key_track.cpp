#include "tools/soundtrack/key_track.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace soundtrack {

namespace {

struct struck {
  double start, length;  // seconds
  int pitch;
  float velocity;
};

// Contour of one piano note `age` seconds after it was struck: a quick rise and a decay that is
// faster than the sound's, so that y swells with every note rather than with the sustain.
double note_envelope(const struck& n, double age) {
  if (age < 0.0) return 0.0;
  double e = (1.0 - std::exp(-age / 0.03)) * std::exp(-age / 0.3);
  if (age > n.length) e *= std::exp(-(age - n.length) / 0.15);
  return n.velocity * e;
}

// A rate limit followed by two one-pole low-passes: chords and leaps arrive as an even, overshoot-
// free glide instead of a jump.
struct glide {
  double max_step, a, limited, s1, s2;
  glide(double max_per_second, double seconds, double start)
      : max_step(max_per_second / keys_per_second),
        a(1.0 - std::exp(-1.0 / (keys_per_second * seconds))),
        limited(start),
        s1(start),
        s2(start) {}
  double next(double x) {
    limited += std::clamp(x - limited, -max_step, max_step);
    s1 += a * (limited - s1);
    s2 += a * (s1 - s2);
    return s2;
  }
};

}  // namespace

std::vector<key> piano_keys(const score& piece, double seconds) {
  std::vector<struck> notes;
  for (const note_event& e : piece.notes)
    if (e.inst == instrument::piano)
      notes.push_back({beat_to_seconds(e.beat), beat_to_seconds(e.length), e.pitch, e.velocity});
  // Sorted by start; among notes struck together the highest comes last, so it sets the pitch.
  std::stable_sort(notes.begin(), notes.end(), [](const struck& a, const struck& b) {
    return a.start < b.start || (a.start == b.start && a.pitch < b.pitch);
  });

  const int count = static_cast<int>(std::ceil(seconds * keys_per_second)) + 1;
  std::vector<key> keys;
  keys.reserve(count);
  glide x_glide(1.6, 0.12, 0.0), y_glide(1.6, 0.06, 0.0);
  int pitch = 76;
  size_t struck_so_far = 0;  // notes with start <= m
  for (int i = 0; i < count; ++i) {
    // The show samples key i at i/40 s of its running time, which is the music's position.
    const double m = static_cast<double>(i) / keys_per_second;
    while (struck_so_far < notes.size() && notes[struck_so_far].start <= m)
      pitch = notes[struck_so_far++].pitch;
    double energy = 0.0;
    for (size_t k = struck_so_far; k-- > 0;) {
      double age = m - notes[k].start;
      if (age > 8.0) break;
      energy += note_envelope(notes[k], age);
    }
    // The melody moves around E5 (MIDI 76); twenty semitones span the whole range.
    double x = std::clamp((pitch - 76) / 10.0, -1.0, 1.0);
    double y = 1.0 - std::exp(-1.2 * energy);
    keys.push_back({static_cast<float>(x_glide.next(x)), static_cast<float>(y_glide.next(y)), 0.0f});
  }
  return keys;
}

bool write_keys(const std::vector<key>& keys, const std::string& path, std::string& error) {
  const std::string temporary = path + ".partial";
  std::FILE* file = std::fopen(temporary.c_str(), "w");
  if (!file) {
    error = "cannot write " + temporary;
    return false;
  }
  bool ok = std::fprintf(file, "%zu\n", keys.size()) > 0;
  for (const key& k : keys) ok = ok && std::fprintf(file, "%.5f %.5f %.5f\n", k.x, k.y, k.z) > 0;
  ok = std::fclose(file) == 0 && ok;
  if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace soundtrack
