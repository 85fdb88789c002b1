// The score against the show's timeline, and the renderer's determinism.
#include "tools/soundtrack/score.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tools/soundtrack/dsp.h"
#include "tools/soundtrack/mix.h"

namespace soundtrack {
namespace {

bool has_event(const score& s, instrument inst, double seconds) {
  return std::any_of(s.notes.begin(), s.notes.end(), [&](const note_event& e) {
    return e.inst == inst && std::fabs(beat_to_seconds(e.beat) - seconds) < 0.001;
  });
}

TEST(Score, FitsTheShowTimeline) {
  const score s = compose();
  // The show ends at 215 s and its clock follows the music until 5 s before the music ends.
  EXPECT_GE(s.length_seconds, 225.0);
  ASSERT_FALSE(s.notes.empty());
  EXPECT_TRUE(std::is_sorted(s.notes.begin(), s.notes.end(),
                             [](const note_event& a, const note_event& b) { return a.beat < b.beat; }));
  for (const note_event& e : s.notes) {
    EXPECT_GE(e.beat, 0.0);
    EXPECT_LT(beat_to_seconds(e.beat + e.length), s.length_seconds - 5.0);
    EXPECT_GT(e.velocity, 0.0f);
    EXPECT_LE(e.velocity, 1.0f);
  }
  // Hits on the three beam entrances.
  for (double t : {43.0, 45.0, 47.0}) EXPECT_TRUE(has_event(s, instrument::impact, t)) << t;
  // The hard cut where the picture jumps.
  ASSERT_EQ(s.cuts.size(), 1u);
  EXPECT_DOUBLE_EQ(s.cuts[0].from_seconds, 83.4);
  EXPECT_GT(s.cuts[0].to_seconds, 83.4);
  EXPECT_LT(s.cuts[0].to_seconds, 84.0);
}

TEST(Score, KeepsTheBeatWhereTheShowIsBusy) {
  const score s = compose();
  // Seconds of music that must carry a four-on-the-floor kick: the drop, the turn, the piano groove
  // and the climax. Every beat in them has a kick.
  const double grooves[][2] = {{36.5, 41.7}, {57.0, 81.7}, {103.2, 140.4}, {151.2, 188.3}};
  for (const auto& range : grooves) {
    for (double beat = std::ceil(seconds_to_beat(range[0])); beat_to_seconds(beat) < range[1]; ++beat)
      EXPECT_TRUE(has_event(s, instrument::kick, beat_to_seconds(beat))) << beat_to_seconds(beat) << " s";
  }
  // No beat in the quiet intro.
  for (const note_event& e : s.notes) {
    if (e.inst == instrument::kick) {
      EXPECT_GT(beat_to_seconds(e.beat), 6.0);
    }
  }
}

TEST(Automation, InterpolatesAndHoldsItsEnds) {
  automation a;
  a.points = {{0, 100}, {4, 200}, {8, 200}, {8, 50}};
  EXPECT_DOUBLE_EQ(a.at(-3), 100);
  EXPECT_DOUBLE_EQ(a.at(2), 150);
  EXPECT_DOUBLE_EQ(a.at(6), 200);
  EXPECT_DOUBLE_EQ(a.at(9), 50);
  EXPECT_DOUBLE_EQ(automation{}.at(1), 0);
}

TEST(Render, IsDeterministicAndSilentInTheCut) {
  score s = compose();
  std::vector<float> first = render_mix(s, 6.0);
  std::vector<float> second = render_mix(s, 6.0);
  ASSERT_EQ(first.size(), static_cast<size_t>(6.0 * sample_rate) * 2);
  EXPECT_TRUE(first == second);
  float peak = 0.0f;
  for (float v : first) peak = std::max(peak, std::fabs(v));
  EXPECT_GT(peak, 0.01f);  // the intro is quiet but not silent

  // A cut in a busy passage silences the mix, reverb tails included, then lets the music resume.
  s.cuts = {{4.0, 4.5}};
  s.notes.push_back({seconds_to_beat(4.6), 1.0, instrument::kick, 0, 1.0f});
  std::vector<float> cut = render_mix(s, 5.0);
  for (long f = 4 * sample_rate; f < static_cast<long>(4.5 * sample_rate); ++f)
    ASSERT_EQ(cut[2 * f], 0.0f) << f;
  float after = 0.0f;
  for (long f = static_cast<long>(4.6 * sample_rate); f < static_cast<long>(4.7 * sample_rate); ++f)
    after = std::max(after, std::fabs(cut[2 * f]));
  EXPECT_GT(after, 0.3f);
}

}  // namespace
}  // namespace soundtrack
