// The piano key track "misc/piano3.txt": its format, coverage, range and smoothness, and that it
// follows the piano.
#include "tools/soundtrack/key_track.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "tools/soundtrack/score.h"
#include "tools/soundtrack/tests/decoded_soundtrack.h"

namespace soundtrack {
namespace {

std::vector<key> read_key_file(const char* path) {
  std::ifstream in(path);
  unsigned count = 0;
  std::vector<key> keys;
  if (!(in >> count)) return keys;
  for (unsigned i = 0; i < count; ++i) {
    key k{};
    if (!(in >> k.x >> k.y >> k.z)) break;
    keys.push_back(k);
  }
  std::string rest;
  if (in >> rest) keys.clear();  // trailing text: the count is wrong
  return keys;
}

// Piano notes of the score by start time in seconds (the highest of a chord last).
std::vector<std::pair<double, int>> piano_notes(const score& s) {
  std::vector<std::pair<double, int>> struck;
  for (const note_event& e : s.notes)
    if (e.inst == instrument::piano) struck.push_back({beat_to_seconds(e.beat), e.pitch});
  std::sort(struck.begin(), struck.end());
  return struck;
}

TEST(KeyTrack, FileCoversTheShowsRunningTimeWithinRangeAndSmoothly) {
  std::vector<key> keys = read_key_file(testing::key_track_path);
  // The show samples 40 keys per second of its running time, which ends at 215 s; a sample needs
  // two keys after its position.
  ASSERT_GE(keys.size(), 40u * 215 + 3) << "unreadable or short " << testing::key_track_path;
  ASSERT_LE(keys.size(), 65535u);  // the track's key indices are 16-bit
  double largest_step = 0.0, largest_bend = 0.0;
  for (size_t i = 0; i < keys.size(); ++i) {
    ASSERT_GE(keys[i].x, -1.0f) << i;
    ASSERT_LE(keys[i].x, 1.0f) << i;
    ASSERT_GE(keys[i].y, -1.0f) << i;
    ASSERT_LE(keys[i].y, 1.0f) << i;
    ASSERT_EQ(keys[i].z, 0.0f) << i;
    if (i >= 1)
      largest_step = std::max({largest_step, std::fabs(double(keys[i].x) - keys[i - 1].x),
                               std::fabs(double(keys[i].y) - keys[i - 1].y)});
    if (i >= 2)
      largest_bend =
          std::max({largest_bend, std::fabs(double(keys[i].x) - 2.0 * keys[i - 1].x + keys[i - 2].x),
                    std::fabs(double(keys[i].y) - 2.0 * keys[i - 1].y + keys[i - 2].y)});
  }
  // Camera centre offsets are 2 x and 2 y at a distance of 4: a step of 0.05 turns the view by
  // less than 1.5 degrees in 1/40 s, and the small bend keeps that turn from changing abruptly.
  EXPECT_LT(largest_step, 0.05);
  EXPECT_LT(largest_bend, 0.02);
}

TEST(KeyTrack, MovesWithThePianoWhereTheCameraFollowsIt) {
  std::vector<key> keys = read_key_file(testing::key_track_path);
  ASSERT_GE(keys.size(), 40u * 215);
  // The camera follows the track from warped show time 134 s to 167.27 s, which is running time
  // (and music position) 109 s to 142.27 s; key i is seen at running time i/40.
  double sx = 0, sy = 0, sxx = 0, syy = 0;
  int n = 0;
  for (int i = 109 * 40; i < 142 * 40; ++i, ++n) {
    sx += keys[i].x, sy += keys[i].y;
    sxx += keys[i].x * keys[i].x, syy += keys[i].y * keys[i].y;
  }
  EXPECT_GT(std::sqrt(sxx / n - sx * sx / n / n), 0.1) << "x barely moves";
  EXPECT_GT(std::sqrt(syy / n - sy * sy / n / n), 0.06) << "y barely moves";

  // x rises and falls with the pitch of the piano: correlate it with the latest struck note (the
  // highest of a chord).
  const score s = compose();
  const std::vector<std::pair<double, int>> struck = piano_notes(s);
  std::vector<std::pair<double, double>> pairs;  // (x, pitch)
  for (int i = 109 * 40; i < 142 * 40; ++i) {
    double m = i / 40.0 - 0.2;  // the glide needs a moment to arrive
    auto next = std::upper_bound(struck.begin(), struck.end(), std::make_pair(m, 1000));
    if (next != struck.begin()) pairs.push_back({keys[i].x, static_cast<double>((next - 1)->second)});
  }
  double mx = 0, mp = 0;
  for (auto& p : pairs) mx += p.first, mp += p.second;
  mx /= pairs.size(), mp /= pairs.size();
  double cov = 0, vx = 0, vp = 0;
  for (auto& p : pairs) {
    cov += (p.first - mx) * (p.second - mp);
    vx += (p.first - mx) * (p.first - mx);
    vp += (p.second - mp) * (p.second - mp);
  }
  EXPECT_GT(cov / std::sqrt(vx * vp), 0.7);

  // The file is what the key-track generator makes from the score.
  std::vector<key> expected = piano_keys(s, (keys.size() - 1) / 40.0);
  ASSERT_EQ(expected.size(), keys.size());
  for (size_t i = 0; i < keys.size(); i += 97) EXPECT_NEAR(expected[i].y, keys[i].y, 1e-5) << i;
}

// The show sees key i at running time i/40 s, and the running time follows the music: the piano
// notes, also those after the show's time warp at 83.4 s, must show in y within a few keys of 40 x
// their start. A note shows when, within 8 keys (0.2 s, the glide's delay), y climbs from its
// lowest point since the note, or bends upwards: it falls more slowly (or rises faster) in the 8
// keys after the note than in the 8 before it. Quiet notes struck during the decay of a loud hit
// may do neither, so a few may be missed; a track that stands still or lags shows none.
TEST(KeyTrack, PianoNotesShowInYWhereTheMusicPlaysThem) {
  const std::vector<key> keys = piano_keys(compose(), 215.0);
  const std::vector<std::pair<double, int>> struck = piano_notes(compose());
  int checked = 0, shown = 0;
  double previous = -1.0;
  std::string missed;
  for (const auto& [start, pitch] : struck) {
    const double gap = start - previous;
    previous = start;
    if (gap < 0.25 || start < 84.0 || start > 214.0) continue;  // the first note of a group counts
    const int at = static_cast<int>(std::lround(start * keys_per_second));
    float lowest = keys[at - 1].y, climb = 0.0f;
    for (int i = at; i <= at + 8; ++i) {
      lowest = std::min(lowest, keys[i].y);
      climb = std::max(climb, keys[i].y - lowest);
    }
    const float before = keys[at].y - keys[at - 8].y, after = keys[at + 8].y - keys[at].y;
    const bool shows = climb > 0.02f || after > before + 0.02f;
    ++checked;
    shown += shows;
    if (!shows) missed += " " + std::to_string(start);
  }
  ASSERT_GT(checked, 100);
  EXPECT_GE(shown, checked * 95 / 100) << shown << " of " << checked << " notes show; missed at" << missed;
}
}  // namespace
}  // namespace soundtrack
