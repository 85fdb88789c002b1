// The piece: "Vorteline", D minor, 135 BPM, about 3 minutes 48 seconds.
//
// Times in the comments are seconds of music, which is the show's running time. The sections follow
// the picture: a drifting intro, the build, the drop and the three beam hits, the turn, the hard
// cut with the breakdown, the piano groove that the camera follows, the transition into the
// climax, the second climax after the picture turns, the turn before the last jump, the outro.
//
// Notation used below:
//   drum and bass patterns: one bar of sixteenths, '.' = rest; drums x = accent, o = normal,
//     - = ghost; bass r = root, o = root an octave up, f = fifth;
//   arpeggios: one bar of sixteenths, digits index the chord's tones (0-3) and the same an octave
//     up (4-7);
//   melodies: NOTE:LENGTH tokens (length in sixteenths), "_:LENGTH" for a rest, '|' between bars;
//   progressions: chord names, one bar each unless written NAME:BARS.
#include "tools/soundtrack/score.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace soundtrack {

double automation::at(double beat) const {
  if (points.empty()) return 0.0;
  if (beat <= points.front().first) return points.front().second;
  if (beat >= points.back().first) return points.back().second;
  auto next = std::upper_bound(points.begin(), points.end(), beat,
                               [](double b, const std::pair<double, double>& p) { return b < p.first; });
  auto prev = next - 1;
  double u = (beat - prev->first) / (next->first - prev->first);
  return prev->second + (next->second - prev->second) * u;
}

namespace {

struct chord {
  const char* name;
  int bass;      // root in the bass register
  int tones[4];  // pad voicing around middle C
};

const chord chords[] = {
    {"Dm", 38, {57, 62, 65, 69}},  // A3 D4 F4 A4
    {"Bb", 34, {58, 62, 65, 70}},  // Bb3 D4 F4 Bb4
    {"F", 41, {57, 60, 65, 69}},   // A3 C4 F4 A4
    {"C", 36, {55, 60, 64, 67}},   // G3 C4 E4 G4
    {"Gm", 43, {55, 58, 62, 67}},  // G3 Bb3 D4 G4
    {"A", 33, {57, 61, 64, 69}},   // A3 C#4 E4 A4
    {"Am", 33, {57, 60, 64, 69}},  // A3 C4 E4 A4
};

const chord& find_chord(const std::string& name) {
  for (const chord& c : chords)
    if (name == c.name) return c;
  std::abort();  // a typing error in the score below
}

struct progression_step {
  const chord* harmony;
  int bars;
};

std::vector<progression_step> parse_progression(const char* text) {
  std::vector<progression_step> out;
  const char* p = text;
  while (*p) {
    while (*p == ' ') ++p;
    if (!*p) break;
    const char* start = p;
    while (*p && *p != ' ' && *p != ':') ++p;
    std::string name(start, p);
    int bars = 1;
    if (*p == ':') bars = static_cast<int>(std::strtol(p + 1, const_cast<char**>(&p), 10));
    out.push_back({&find_chord(name), bars});
  }
  return out;
}

// The chord sounding in bar `bar` (counted from the start of the progression), cycling.
const chord& chord_at(const std::vector<progression_step>& prog, int bar) {
  int total = 0;
  for (const progression_step& s : prog) total += s.bars;
  bar %= total;
  for (const progression_step& s : prog) {
    if (bar < s.bars) return *s.harmony;
    bar -= s.bars;
  }
  return *prog.front().harmony;
}

int parse_note(const std::string& name) {
  static const int letters[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  int semitone = letters[name[0] - 'A'];
  size_t i = 1;
  if (i < name.size() && name[i] == '#') ++semitone, ++i;
  if (i < name.size() && name[i] == 'b') --semitone, ++i;
  int octave = std::atoi(name.c_str() + i);
  return 12 * (octave + 1) + semitone;
}

float step_velocity(char c) {
  switch (c) {
    case 'x':
      return 1.0f;
    case 'o':
      return 0.7f;
    case '-':
      return 0.4f;
    default:
      return 0.0f;
  }
}

struct composer {
  score& s;

  void note(double beat, double length, instrument inst, int pitch, float velocity) {
    s.notes.push_back({beat, length, inst, pitch, velocity});
  }

  // A one-bar drum pattern repeated for `bars` bars.
  void drums(instrument inst, double start, int bars, const char* pattern, float level) {
    for (int bar = 0; bar < bars; ++bar)
      for (int i = 0; i < 16 && pattern[i]; ++i)
        if (float v = step_velocity(pattern[i]); v > 0.0f)
          note(start + 4 * bar + i * 0.25, 0.25, inst, 0, v * level);
  }

  // Evenly spaced hits whose level ramps from v0 to v1 (snare rolls, closing kicks).
  void roll(instrument inst, double from, double to, double step, float v0, float v1) {
    int count = static_cast<int>(std::lround((to - from) / step));
    for (int i = 0; i < count; ++i) {
      float u = count > 1 ? static_cast<float>(i) / (count - 1) : 1.0f;
      note(from + i * step, step, inst, 0, v0 + (v1 - v0) * u);
    }
  }

  void pads(double start, const char* progression, float level) {
    double beat = start;
    for (const progression_step& step : parse_progression(progression)) {
      for (int tone : step.harmony->tones) note(beat, 4.0 * step.bars, instrument::pad, tone, level);
      beat += 4.0 * step.bars;
    }
  }

  // One chord held on the pads for `length` beats.
  void pad_chord(double beat, double length, const char* name, float level) {
    for (int tone : find_chord(name).tones) note(beat, length, instrument::pad, tone, level);
  }

  void bass(double start, const char* progression, int bars, const char* pattern, float level) {
    auto prog = parse_progression(progression);
    for (int bar = 0; bar < bars; ++bar) {
      int root = chord_at(prog, bar).bass;
      for (int i = 0; i < 16 && pattern[i]; ++i) {
        int pitch = pattern[i] == 'r'   ? root
                    : pattern[i] == 'o' ? root + 12
                    : pattern[i] == 'f' ? root + 7
                                        : -1;
        if (pitch >= 0) note(start + 4 * bar + i * 0.25, 0.2, instrument::bass, pitch, level);
      }
    }
  }

  void arp(double start, const char* progression, int bars, const char* pattern, float level) {
    auto prog = parse_progression(progression);
    for (int bar = 0; bar < bars; ++bar) {
      const chord& c = chord_at(prog, bar);
      for (int i = 0; i < 16 && pattern[i]; ++i) {
        if (pattern[i] < '0' || pattern[i] > '7') continue;
        int k = pattern[i] - '0';
        int pitch = c.tones[k & 3] + 12 * (k >> 2) + 12;
        float accent = (i % 4 == 0) ? 1.0f : 0.8f;
        note(start + 4 * bar + i * 0.25, 0.25, instrument::arp, pitch, level * accent);
      }
    }
  }

  // A piano melody; returns the beat after its last token.
  double melody(double start, const char* text, float level, int transpose = 0) {
    double beat = start;
    const char* p = text;
    while (*p) {
      while (*p == ' ' || *p == '|') ++p;
      if (!*p) break;
      const char* token = p;
      while (*p && *p != ' ' && *p != ':') ++p;
      std::string name(token, p);
      int sixteenths = *p == ':' ? static_cast<int>(std::strtol(p + 1, const_cast<char**>(&p), 10)) : 1;
      double length = sixteenths * 0.25;
      if (name != "_") {
        // Notes on the beat are played a little harder.
        double in_beat = beat - std::floor(beat);
        float accent = in_beat < 1e-6 ? 1.0f : 0.88f;
        note(beat, length * 0.95, instrument::piano, parse_note(name) + transpose, level * accent);
      }
      beat += length;
    }
    return beat;
  }

  // Left hand of the piano: root and two inner tones at the start of every chord.
  void piano_chords(double start, const char* progression, float level) {
    double beat = start;
    for (const progression_step& step : parse_progression(progression)) {
      const chord& c = *step.harmony;
      note(beat, 4.0 * step.bars - 0.1, instrument::piano, c.bass + 12, level);
      note(beat, 4.0 * step.bars - 0.1, instrument::piano, c.tones[1], level * 0.7f);
      note(beat, 4.0 * step.bars - 0.1, instrument::piano, c.tones[2], level * 0.7f);
      beat += 4.0 * step.bars;
    }
  }

  // A hit: boom, crash, kick and a piano stab of the given chord.
  void hit(double beat, const char* chord_name, float level) {
    const chord& c = find_chord(chord_name);
    note(beat, 1.0, instrument::impact, 0, level);
    note(beat, 1.0, instrument::crash, 0, level * 0.8f);
    note(beat, 1.0, instrument::kick, 0, level);
    note(beat, 3.0, instrument::piano, c.bass + 12, level * 0.9f);
    for (int tone : c.tones) note(beat, 3.0, instrument::piano, tone, level * 0.7f);
    note(beat, 3.0, instrument::piano, c.tones[3] + 12, level * 0.8f);
  }

  void riser(double from, double to, int pitch, float level) {
    note(from, to - from, instrument::riser, pitch, level);
  }
};

// ---- patterns ----
const char* const four_on_floor = "x...x...x...x...";
const char* const backbeat = "....x.......x...";
const char* const offbeat_8ths = "..o...o...o...o.";
const char* const hats_16ths = "o-.-o-.-o-.-o-.o";
const char* const open_offbeats = "..x...x...x...x.";
const char* const bass_offbeat = "..r...r...r...r.";
const char* const bass_rolling = ".rrr.rrr.rro.rro";
const char* const bass_driving = ".ror.ror.ror.rfo";
const char* const arp_slow = "0.2.4.6.5.3.1.3.";
const char* const arp_wave = "0246424613575753";
const char* const arp_falling = "7531642075316420";
const char* const arp_high = "4567765445677654";

// ---- melodies ----
// The theme over Dm Bb F C, and its answer.
const char* const theme_a =
    "A4:3 D5:3 F5:2 E5:2 D5:2 A4:4 | Bb4:3 D5:3 F5:2 G5:4 F5:2 D5:2 |"
    " C5:3 F5:3 A5:2 G5:2 F5:2 C5:4 | E5:3 G5:3 E5:2 D5:4 C5:2 E5:2";
const char* const theme_a_answer =
    "D5:2 F5:2 A5:4 G5:2 F5:2 E5:4 | D5:6 F5:2 Bb5:4 A5:2 G5:2 |"
    " A5:3 G5:3 F5:2 C5:4 F5:2 G5:2 | E5:8 G5:4 E5:4";
// The second theme over Bb C Am Dm, and its answer.
const char* const theme_b =
    "D5:2 F5:2 Bb5:4 A5:2 F5:2 D5:4 | E5:2 G5:2 C6:4 Bb5:2 G5:2 E5:4 |"
    " C5:2 E5:2 A5:4 G5:2 E5:2 C5:4 | D5:4 F5:2 E5:2 D5:8";
const char* const theme_b_answer =
    "F5:3 D5:3 Bb4:2 D5:2 F5:2 A5:4 | G5:3 E5:3 C5:2 E5:2 G5:2 C6:4 |"
    " A5:3 G5:3 E5:2 C5:2 E5:2 G5:4 | F5:6 E5:2 D5:8";

}  // namespace

score compose() {
  score s;
  composer c{s};

  // ---- 0 - 6.2 s: intro. A dark pad drifts in; a few piano notes in a large room. ----
  c.pad_chord(0, 14, "Dm", 0.9f);
  c.note(0.0, 10.0, instrument::piano, 50, 0.3f);
  c.melody(2, "A4:16 D5:12 F5:6 E5:6 D5:8", 0.35f);
  c.riser(6, 14, 45, 0.12f);

  // ---- 6.2 - 36.4 s: the build, 17 bars from beat 14; the drop lands at 36.4 s. ----
  const double build = 14;
  c.pads(build, "Dm Bb F C Dm Bb F C Dm Bb F C Dm Bb F C A", 0.85f);
  c.arp(build + 8, "Dm Bb F C", 6, arp_slow, 0.7f);
  c.arp(build + 32, "Dm Bb F C", 8, arp_wave, 0.75f);
  c.arp(build + 64, "A", 1, arp_wave, 0.8f);
  c.drums(instrument::closed_hat, build + 16, 4, offbeat_8ths, 0.6f);
  c.drums(instrument::closed_hat, build + 32, 8, hats_16ths, 0.7f);
  c.drums(instrument::kick, build + 32, 8, four_on_floor, 0.9f);
  c.note(build + 32, 1, instrument::crash, 0, 0.5f);
  c.bass(build + 32, "Dm Bb F C", 4, bass_offbeat, 0.8f);
  c.bass(build + 48, "Dm Bb F C", 4, bass_rolling, 0.85f);
  c.drums(instrument::clap, build + 48, 4, backbeat, 0.8f);
  c.drums(instrument::open_hat, build + 48, 4, open_offbeats, 0.5f);
  c.melody(build + 32, theme_a, 0.45f);
  c.melody(build + 48, theme_a_answer, 0.5f);
  c.roll(instrument::snare, build + 56, build + 64, 0.5, 0.15f, 0.5f);
  c.roll(instrument::snare, build + 64, build + 68, 0.25, 0.5f, 1.0f);
  c.riser(build + 48, build + 68, 57, 0.45f);
  c.note(build + 64, 4, instrument::piano, 45, 0.5f);
  c.melody(build + 64, "E5:4 C#5:4 A4:4 E5:4", 0.55f);
  s.pad_cutoff.points = {{0, 350}, {14, 1000}, {78, 3500}, {82, 5000}};
  s.arp_cutoff.points = {{22, 300}, {78, 2000}};

  // ---- 36.4 - 41.8 s: the drop. ----
  const double drop = 82;
  c.hit(drop, "Dm", 0.9f);
  c.pads(drop, "Dm Bb F", 0.85f);
  c.drums(instrument::kick, drop, 3, four_on_floor, 1.0f);
  c.drums(instrument::clap, drop, 3, backbeat, 0.9f);
  c.drums(instrument::closed_hat, drop, 3, hats_16ths, 0.8f);
  c.drums(instrument::open_hat, drop, 3, open_offbeats, 0.6f);
  c.bass(drop, "Dm Bb F", 3, bass_rolling, 0.9f);
  c.arp(drop, "Dm Bb F", 3, arp_wave, 0.8f);
  c.melody(drop, theme_a, 0.75f);

  // ---- 41.8 - 47.1 s: the beat stops for the three beam hits at 43, 45 and 47 s. ----
  const double hits = 94;
  c.pads(hits, "C Bb A", 0.8f);
  c.arp(hits, "C Bb A", 3, arp_slow, 0.6f);
  c.hit(seconds_to_beat(43.0), "C", 1.0f);
  c.hit(seconds_to_beat(45.0), "Bb", 1.0f);
  c.hit(seconds_to_beat(47.0), "A", 1.0f);
  c.riser(hits + 8, seconds_to_beat(47.0), 57, 0.4f);
  s.arp_cutoff.points.insert(s.arp_cutoff.points.end(), {{94, 2000}, {96, 700}, {105, 1400}, {106, 2200}});

  // ---- 47.1 - 56.9 s: the groove returns, then a two-beat fill into the turn. ----
  const double groove = 106;
  c.pads(groove, "Dm Bb F C Dm", 0.85f);
  c.drums(instrument::kick, groove, 5, four_on_floor, 1.0f);
  c.drums(instrument::clap, groove, 5, backbeat, 0.9f);
  c.drums(instrument::closed_hat, groove, 5, hats_16ths, 0.8f);
  c.drums(instrument::open_hat, groove, 5, open_offbeats, 0.6f);
  c.bass(groove, "Dm Bb F C Dm", 5, bass_rolling, 0.9f);
  c.arp(groove, "Dm Bb F C Dm", 5, arp_wave, 0.8f);
  c.melody(groove, theme_a_answer, 0.75f);
  c.melody(groove + 16, "A4:3 D5:3 F5:2 E5:2 D5:2 A4:4", 0.7f);
  c.note(126, 2, instrument::kick, 0, 1.0f);
  c.roll(instrument::snare, 126, 128, 0.125, 0.4f, 1.0f);
  c.pad_chord(126, 2, "A", 0.85f);

  // ---- 56.9 - 81.8 s: the turn. A second theme over Bb C Am Dm, driving bass. ----
  const double turn = 128;
  c.hit(turn, "Bb", 0.9f);
  c.pads(turn, "Bb C Am Dm Bb C Am Dm Bb C Am Dm Bb C", 0.85f);
  c.drums(instrument::kick, turn, 14, four_on_floor, 1.0f);
  c.drums(instrument::clap, turn, 14, backbeat, 0.9f);
  c.drums(instrument::closed_hat, turn, 14, hats_16ths, 0.85f);
  c.drums(instrument::open_hat, turn + 32, 6, open_offbeats, 0.7f);
  c.bass(turn, "Bb C Am Dm", 14, bass_driving, 0.9f);
  c.arp(turn, "Bb C Am Dm", 8, arp_falling, 0.75f);
  c.arp(turn + 32, "Bb C Am Dm", 6, arp_high, 0.7f);
  c.melody(turn, theme_b, 0.75f);
  c.melody(turn + 16, theme_b_answer, 0.75f);
  c.melody(turn + 32, theme_b, 0.8f);
  c.melody(turn + 48, "D5:4 F5:4 Bb5:8 | C6:4 G5:4 E5:8", 0.8f);
  c.riser(turn + 48, seconds_to_beat(83.4), 57, 0.5f);
  c.roll(instrument::snare, turn + 48, turn + 56, 0.5, 0.3f, 0.7f);

  // ---- 81.8 - 83.4 s: the last bar before the hard cut. ----
  const double cut_bar = 184;
  c.pads(cut_bar, "A", 0.9f);
  c.roll(instrument::kick, cut_bar, 187.5, 0.5, 0.9f, 1.0f);
  c.roll(instrument::snare, cut_bar, 187.5, 0.125, 0.6f, 1.0f);
  c.bass(cut_bar, "A", 1, "r.r.r.r.rrrrrrr.", 0.9f);
  c.melody(cut_bar, "E5:2 A5:2 C#6:2 E6:2 A5:2 C#6:2 E6:4", 0.85f);
  s.cuts.push_back({83.4, beat_to_seconds(188.0)});

  // ---- 83.6 - 103.1 s: after the cut, the breakdown. Piano and pads, then the build back. ----
  const double breakdown = 188;
  c.hit(breakdown, "Dm", 0.8f);
  c.pads(breakdown, "Dm Bb F C Dm Bb F C Gm Bb A", 0.8f);
  c.piano_chords(breakdown + 4, "Bb F C Dm Bb F C Gm Bb A", 0.45f);
  c.melody(breakdown, theme_a, 0.65f);
  c.melody(breakdown + 16, theme_a_answer, 0.65f);
  c.melody(breakdown + 32, "G5:4 F5:4 D5:4 Bb4:4 | F5:4 D5:4 Bb4:4 D5:4 | E5:4 C#5:4 A4:4 E5:4", 0.7f);
  c.arp(breakdown + 16, "Dm Bb F C Gm Bb A", 7, arp_slow, 0.6f);
  c.drums(instrument::kick, breakdown + 32, 2, four_on_floor, 0.7f);
  c.roll(instrument::kick, breakdown + 40, breakdown + 44, 0.5, 0.8f, 1.0f);
  c.roll(instrument::snare, breakdown + 36, breakdown + 40, 0.25, 0.2f, 0.5f);
  c.roll(instrument::snare, breakdown + 40, breakdown + 44, 0.125, 0.5f, 1.0f);
  c.riser(breakdown + 32, breakdown + 44, 57, 0.5f);
  s.pad_cutoff.points.insert(s.pad_cutoff.points.end(),
                             {{128, 5500}, {184, 5500}, {188, 1400}, {220, 2500}, {232, 5000}});
  s.arp_cutoff.points.insert(s.arp_cutoff.points.end(), {{188, 500}, {232, 1800}});

  // ---- 103.1 - 142.2 s: the piano groove; from 109 s the camera follows the piano. ----
  const double piano = 232;
  c.hit(piano, "Dm", 0.9f);
  c.pads(piano, "Dm Bb F C Dm Bb F C Dm Bb F C Dm Bb F C Bb C Am Dm Bb A", 0.85f);
  c.drums(instrument::kick, piano, 21, four_on_floor, 1.0f);
  c.drums(instrument::clap, piano, 21, backbeat, 0.9f);
  c.drums(instrument::closed_hat, piano, 21, hats_16ths, 0.8f);
  c.drums(instrument::open_hat, piano + 32, 13, open_offbeats, 0.6f);
  c.bass(piano, "Dm Bb F C", 16, bass_rolling, 0.9f);
  c.bass(piano + 64, "Bb C Am Dm Bb A", 5, bass_driving, 0.9f);
  c.arp(piano, "Dm Bb F C", 16, arp_wave, 0.7f);
  c.arp(piano + 64, "Bb C Am Dm Bb A", 6, arp_high, 0.7f);
  c.melody(piano, theme_a, 0.8f);
  c.melody(piano + 16, theme_a_answer, 0.8f);
  c.melody(piano + 32, theme_a, 0.85f);
  c.melody(piano + 48, theme_a_answer, 0.85f);
  c.melody(piano + 64, theme_b, 0.85f);
  c.melody(piano + 80, "F5:4 D5:4 Bb4:4 D5:4 | E5:4 C#5:4 A4:8", 0.8f);
  c.roll(instrument::snare, piano + 84, piano + 88, 0.25, 0.3f, 0.8f);

  // ---- 142.2 - 151.1 s: the camera races; the music gathers for the climax. ----
  const double gather = 320;
  c.note(gather, 1, instrument::crash, 0, 0.7f);
  c.pads(gather, "Dm Bb F C A", 0.9f);
  c.drums(instrument::kick, gather, 3, four_on_floor, 0.8f);
  c.bass(gather, "Dm Bb F", 3, bass_offbeat, 0.85f);
  c.drums(instrument::closed_hat, gather, 5, hats_16ths, 0.7f);
  c.arp(gather, "Dm Bb F C A", 5, arp_wave, 0.8f);
  c.melody(gather,
           "A4:3 D5:3 F5:2 E5:2 D5:2 A4:4 | Bb4:3 D5:3 F5:2 G5:4 F5:2 D5:2 | C5:3 F5:3 A5:2 G5:2 F5:2 C5:4",
           0.8f);
  c.melody(gather, "A5:3 D6:3 F6:2 E6:2 D6:2 A5:4", 0.5f);
  // 147.6 - 151.1 s: the transition: snare roll, riser and an opening filter.
  c.roll(instrument::snare, gather + 12, gather + 16, 0.5, 0.3f, 0.6f);
  c.roll(instrument::snare, gather + 16, gather + 19.5, 0.125, 0.6f, 1.0f);
  c.roll(instrument::kick, gather + 12, gather + 16, 1.0, 0.8f, 0.9f);
  c.riser(gather + 8, gather + 19.5, 57, 0.6f);
  c.melody(gather + 12, "G5:4 E5:4 C5:4 E5:4 | E5:4 A5:4 C#6:6", 0.8f);
  s.pad_cutoff.points.insert(s.pad_cutoff.points.end(), {{320, 5000}, {332, 1800}, {339.5, 6500}});
  s.arp_cutoff.points.insert(s.arp_cutoff.points.end(), {{320, 1800}, {332, 900}, {339.5, 3500}});

  // ---- 151.1 - 163.6 s: the climax. ----
  const double climax = 340;
  c.hit(climax, "Dm", 1.0f);
  c.pads(climax, "Dm Bb F C Dm Bb F", 0.95f);
  c.pads(climax, "Dm Bb F C Dm Bb F", 0.35f);  // doubled for width
  c.drums(instrument::kick, climax, 7, four_on_floor, 1.0f);
  c.drums(instrument::clap, climax, 7, backbeat, 1.0f);
  c.drums(instrument::snare, climax, 7, backbeat, 0.5f);
  c.drums(instrument::closed_hat, climax, 7, hats_16ths, 0.85f);
  c.drums(instrument::open_hat, climax, 7, open_offbeats, 0.7f);
  c.bass(climax, "Dm Bb F C", 7, bass_rolling, 0.95f);
  c.arp(climax, "Dm Bb F C", 7, arp_wave, 0.8f);
  c.melody(climax, theme_a, 0.9f);
  c.melody(climax, theme_a, 0.45f, 12);
  c.melody(climax + 16,
           "D5:2 F5:2 A5:4 G5:2 F5:2 E5:4 | D5:6 F5:2 Bb5:4 A5:2 G5:2 | A5:3 G5:3 F5:2 C5:4 F5:2 G5:2", 0.9f);
  c.roll(instrument::snare, climax + 26, climax + 28, 0.125, 0.5f, 1.0f);
  s.pad_cutoff.points.insert(s.pad_cutoff.points.end(), {{340, 6500}, {368, 6500}});
  s.arp_cutoff.points.insert(s.arp_cutoff.points.end(), {{340, 2400}});

  // ---- 163.6 - 188.4 s: the picture turns and the climax goes on over the second theme. ----
  const double climax2 = 368;
  c.hit(climax2, "Bb", 1.0f);
  c.pads(climax2, "Bb C Am Dm Bb C Am Dm Bb C Am Dm Bb C", 0.95f);
  c.drums(instrument::kick, climax2, 14, four_on_floor, 1.0f);
  c.drums(instrument::clap, climax2, 14, backbeat, 1.0f);
  c.drums(instrument::closed_hat, climax2, 14, hats_16ths, 0.85f);
  c.drums(instrument::open_hat, climax2, 14, open_offbeats, 0.7f);
  c.bass(climax2, "Bb C Am Dm", 14, bass_driving, 0.95f);
  c.arp(climax2, "Bb C Am Dm", 8, arp_falling, 0.8f);
  c.arp(climax2 + 32, "Bb C Am Dm", 6, arp_high, 0.8f);
  c.melody(climax2, theme_b, 0.9f);
  c.melody(climax2 + 16, theme_b_answer, 0.9f);
  c.melody(climax2 + 32, theme_b, 0.9f);
  c.melody(climax2 + 32, theme_b, 0.4f, 12);
  c.melody(climax2 + 48, "D5:4 F5:4 Bb5:8 | C6:4 G5:4 E5:8", 0.9f);
  c.roll(instrument::snare, climax2 + 48, climax2 + 56, 0.25, 0.3f, 1.0f);
  c.riser(climax2 + 44, climax2 + 56, 57, 0.5f);

  // ---- 188.4 - 192 s: the turn. The beat stops, the pads close, a falling piano line. ----
  const double fall = 424;
  c.note(fall, 1, instrument::crash, 0, 0.8f);
  c.note(fall, 1, instrument::impact, 0, 0.6f);
  c.pads(fall, "Gm A", 0.9f);
  c.melody(fall, "D6:2 A5:2 F5:2 D5:2 A4:2 F4:2 D4:4 | C#5:4 E5:4 A5:8", 0.7f);
  c.piano_chords(fall, "Gm A", 0.5f);
  c.riser(fall + 2, fall + 8, 45, 0.45f);
  s.pad_cutoff.points.insert(s.pad_cutoff.points.end(), {{424, 6500}, {428, 1400}, {432, 4000}});

  // ---- 192 - 215 s: the outro. The beat thins out, the theme once more, softly. ----
  const double outro = 432;
  c.hit(outro, "Dm", 0.8f);
  c.pads(outro, "Dm Bb F C Dm Bb F C Dm Bb F C A", 0.8f);
  c.roll(instrument::kick, outro, outro + 32, 1.0, 0.95f, 0.5f);
  c.drums(instrument::clap, outro, 4, backbeat, 0.7f);
  c.drums(instrument::closed_hat, outro, 6, hats_16ths, 0.6f);
  c.bass(outro, "Dm Bb F C", 4, bass_offbeat, 0.8f);
  c.arp(outro, "Dm Bb F C", 9, arp_slow, 0.6f);
  c.melody(outro, theme_a, 0.6f);
  c.melody(outro + 16, theme_a_answer, 0.55f);
  c.melody(outro + 32, "A4:8 D5:8 | F5:8 D5:8 | C5:8 A4:8 | G4:8 E5:8 | E5:8 C#5:8", 0.45f);
  s.pad_cutoff.points.insert(s.pad_cutoff.points.end(), {{440, 4000}, {484, 700}});
  s.arp_cutoff.points.insert(s.arp_cutoff.points.end(), {{432, 1800}, {468, 500}});

  // ---- 215 s to the end: the last chord rings out. ----
  const double ending = 484;
  c.pad_chord(ending, 16, "Dm", 0.7f);
  c.note(ending, 14, instrument::piano, 38, 0.6f);
  c.note(ending, 14, instrument::piano, 50, 0.5f);
  for (int tone : {57, 62, 65, 69}) c.note(ending, 14, instrument::piano, tone, 0.45f);
  s.master_level.points = {{0, 1.0}, {500, 1.0}, {512, 0.0}};
  // The pads drift in quietly, then carry the build until the beat arrives.
  s.pad_level.points = {{0, 0.8}, {14, 1.6}, {42, 1.6}, {46, 1.0}};
  s.length_seconds = 228.0;

  std::stable_sort(s.notes.begin(), s.notes.end(),
                   [](const note_event& a, const note_event& b) { return a.beat < b.beat; });
  return s;
}

}  // namespace soundtrack
