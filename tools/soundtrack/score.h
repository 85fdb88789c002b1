// The soundtrack as data: timed note events for every instrument, a few automation lanes and the
// hard cuts. compose() (score.cpp) writes the piece; the renderer plays whatever it is given.
#pragma once

#include <utility>
#include <vector>

namespace soundtrack {

constexpr double tempo_bpm = 135.0;
constexpr double seconds_per_beat = 60.0 / tempo_bpm;
inline double beat_to_seconds(double beat) { return beat * seconds_per_beat; }
inline double seconds_to_beat(double seconds) { return seconds / seconds_per_beat; }

enum class instrument {
  kick,
  clap,
  snare,
  closed_hat,
  open_hat,
  crash,
  impact,  // the hits on the beam entrances and big section starts
  riser,   // noise sweep that lasts the whole event
  bass,
  pad,
  arp,
  piano,
};

struct note_event {
  double beat;    // start, in beats from the start of the piece
  double length;  // in beats; drums ignore it except the riser
  instrument inst;
  int pitch;  // MIDI note number (60 = middle C); drums ignore it
  float velocity;
};

// A piecewise-linear control curve over beats; constant before the first and after the last point.
struct automation {
  std::vector<std::pair<double, double>> points;  // (beat, value), beats ascending
  double at(double beat) const;
};

// Silence in the whole mix (reverb and delay tails included) between two times in seconds.
struct hard_cut {
  double from_seconds;
  double to_seconds;
};

struct score {
  std::vector<note_event> notes;  // sorted by beat after compose()
  automation pad_cutoff;          // Hz, low-pass over the whole pad bus
  automation arp_cutoff;          // Hz, resting cutoff of the arpeggio's filter
  automation pad_level;           // linear gain of the pad bus
  automation master_level;        // linear gain of the whole mix (fade-in and fade-out)
  std::vector<hard_cut> cuts;
  double length_seconds = 0.0;
};

score compose();

}  // namespace soundtrack
