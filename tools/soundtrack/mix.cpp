#include "tools/soundtrack/mix.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "tools/soundtrack/effects.h"
#include "tools/soundtrack/instruments.h"

namespace soundtrack {
namespace {

constexpr int block = 256;

// A stereo bus holding one block.
struct bus {
  float l[block];
  float r[block];
  void clear() {
    std::memset(l, 0, sizeof l);
    std::memset(r, 0, sizeof r);
  }
};

// Renders every voice of a pool into a bus and drops the voices that have finished.
template <class voice>
void render_pool(std::vector<voice>& pool, bus& out, int n) {
  for (size_t i = 0; i < pool.size();) {
    if (pool[i].render(out.l, out.r, n)) {
      ++i;
    } else {
      pool[i] = pool.back();
      pool.pop_back();
    }
  }
}

// Starts a voice at `offset` into the block and renders its first part.
template <class voice>
void start_voice(std::vector<voice>& pool, voice v, bus& out, int offset, int n) {
  if (v.render(out.l + offset, out.r + offset, n - offset)) pool.push_back(v);
}

// How far a bus is pulled down after a kick: quick dip, then back within about a beat.
inline float duck_shape(double seconds_since_kick) {
  if (seconds_since_kick < 0.0) return 0.0f;
  if (seconds_since_kick < 0.004) return static_cast<float>(seconds_since_kick / 0.004);
  return static_cast<float>(std::exp(-(seconds_since_kick - 0.004) / 0.11));
}

// Mix levels of the instruments and their sends.
struct levels {
  static constexpr float kick = 0.95f, clap = 0.5f, snare = 0.42f, closed_hat = 0.65f, open_hat = 0.45f,
                         crash = 0.4f, impact = 0.7f, riser = 0.4f, bass = 0.42f, pad = 0.11f, arp = 0.22f,
                         piano = 0.42f;
  static constexpr float reverb_drums = 0.12f, reverb_fx = 0.35f, reverb_pad = 0.3f, reverb_arp = 0.25f,
                         reverb_piano = 0.3f, delay_arp = 0.35f, delay_piano = 0.12f, reverb_return = 0.9f;
  static constexpr float duck_bass = 0.85f, duck_pad = 0.45f, duck_arp = 0.3f, duck_reverb = 0.3f;
};

}  // namespace

std::vector<float> render_mix(const score& piece, double seconds) {
  if (seconds <= 0.0) seconds = piece.length_seconds;
  const long frames = static_cast<long>(seconds * sample_rate);
  std::vector<float> out(static_cast<size_t>(frames) * 2, 0.0f);

  struct timed {
    long start;
    long length;
    const note_event* note;
  };
  std::vector<timed> events;
  std::vector<long> kicks;
  for (const note_event& e : piece.notes) {
    long start = std::lround(beat_to_seconds(e.beat) * sample_rate);
    long length = std::lround(beat_to_seconds(e.length) * sample_rate);
    events.push_back({start, length, &e});
    if (e.inst == instrument::kick) kicks.push_back(start);
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const timed& a, const timed& b) { return a.start < b.start; });
  std::sort(kicks.begin(), kicks.end());

  std::vector<kick_voice> kick_pool;
  std::vector<snare_voice> snare_pool;
  std::vector<cymbal_voice> cymbal_pool;
  std::vector<impact_voice> impact_pool;
  std::vector<riser_voice> riser_pool;
  std::vector<bass_voice> bass_pool;
  std::vector<pad_voice> pad_pool;
  std::vector<arp_voice> arp_pool;
  std::vector<piano_voice> piano_pool;

  reverb room;
  room.init(2.8, 5200.0, 0.03);
  ping_pong_delay echo;
  echo.init(beat_to_seconds(0.75), 0.42, 3200.0);
  svf pad_filter_l, pad_filter_r;
  svf master_high_l, master_high_r;
  master_high_l.set(28.0, 0.7);
  master_high_r.set(28.0, 0.7);

  bus drums, fx, bass, pads, arp, piano, reverb_in, delay_in, wet;
  float duck[block];
  size_t next_event = 0;
  size_t next_kick = 0;
  long last_kick = -sample_rate;
  uint32_t seed = 1;

  for (long pos = 0; pos < frames; pos += block) {
    const int n = static_cast<int>(std::min<long>(block, frames - pos));
    for (bus* b : {&drums, &fx, &bass, &pads, &arp, &piano, &reverb_in, &delay_in, &wet}) b->clear();

    render_pool(kick_pool, drums, n);
    render_pool(snare_pool, drums, n);
    render_pool(cymbal_pool, drums, n);
    render_pool(impact_pool, fx, n);
    render_pool(riser_pool, fx, n);
    render_pool(bass_pool, bass, n);
    render_pool(pad_pool, pads, n);
    render_pool(arp_pool, arp, n);
    render_pool(piano_pool, piano, n);

    while (next_event < events.size() && events[next_event].start < pos + n) {
      const timed& ev = events[next_event++];
      const note_event& e = *ev.note;
      const int offset = static_cast<int>(std::max(0L, ev.start - pos));
      const float v = e.velocity;
      ++seed;
      switch (e.inst) {
        case instrument::kick: {
          kick_voice k;
          k.start(v * levels::kick);
          start_voice(kick_pool, k, drums, offset, n);
          break;
        }
        case instrument::clap:
        case instrument::snare: {
          snare_voice s;
          bool clap = e.inst == instrument::clap;
          s.start(clap, v * (clap ? levels::clap : levels::snare), seed * 747796405u);
          start_voice(snare_pool, s, drums, offset, n);
          break;
        }
        case instrument::closed_hat:
        case instrument::open_hat:
        case instrument::crash: {
          cymbal_voice c;
          if (e.inst == instrument::closed_hat)
            c.start(0.035, 7500.0, v * levels::closed_hat, 0.25, 0.5f, seed * 2891336453u);
          else if (e.inst == instrument::open_hat)
            c.start(0.22, 6500.0, v * levels::open_hat, -0.2, 0.6f, seed * 2891336453u);
          else
            c.start(1.4, 3800.0, v * levels::crash, 0.0, 0.75f, seed * 2891336453u);
          start_voice(cymbal_pool, c, drums, offset, n);
          break;
        }
        case instrument::impact: {
          impact_voice i;
          i.start(v * levels::impact, seed * 1103515245u);
          start_voice(impact_pool, i, fx, offset, n);
          break;
        }
        case instrument::riser: {
          riser_voice r;
          r.start(static_cast<int>(ev.length), e.pitch, v * levels::riser, seed * 22695477u);
          start_voice(riser_pool, r, fx, offset, n);
          break;
        }
        case instrument::bass: {
          bass_voice b;
          b.start(e.pitch, static_cast<int>(ev.length), v * levels::bass, 260.0 + 200.0 * v);
          start_voice(bass_pool, b, bass, offset, n);
          break;
        }
        case instrument::pad: {
          pad_voice p;
          p.start(e.pitch, static_cast<int>(ev.length), v * levels::pad, seed * 134775813u);
          start_voice(pad_pool, p, pads, offset, n);
          break;
        }
        case instrument::arp: {
          arp_voice a;
          double pan = ((e.pitch % 3) - 1) * 0.45;
          a.start(e.pitch, v * levels::arp, piece.arp_cutoff.at(e.beat), pan);
          start_voice(arp_pool, a, arp, offset, n);
          break;
        }
        case instrument::piano: {
          piano_voice p;
          p.start(e.pitch, static_cast<int>(ev.length), v * levels::piano, seed * 3266489917u);
          start_voice(piano_pool, p, piano, offset, n);
          break;
        }
      }
    }

    // Side-chain: the distance of every sample from the latest kick.
    for (int i = 0; i < n; ++i) {
      while (next_kick < kicks.size() && kicks[next_kick] <= pos + i) last_kick = kicks[next_kick++];
      duck[i] = duck_shape(static_cast<double>(pos + i - last_kick) / sample_rate);
    }

    // Pad bus filter follows its automation once per block.
    const double beat = seconds_to_beat(static_cast<double>(pos) / sample_rate);
    const double cutoff = piece.pad_cutoff.at(beat);
    pad_filter_l.set(cutoff, 0.9);
    pad_filter_r.set(cutoff * 1.02, 0.9);
    const float pad_gain = static_cast<float>(piece.pad_level.at(beat));
    for (int i = 0; i < n; ++i) {
      pad_filter_l.process(pads.l[i]);
      pad_filter_r.process(pads.r[i]);
      float g = pad_gain * (1.0f - levels::duck_pad * duck[i]);
      pads.l[i] = pad_filter_l.low * g;
      pads.r[i] = pad_filter_r.low * g;
      float gb = 1.0f - levels::duck_bass * duck[i];
      bass.l[i] *= gb;
      bass.r[i] *= gb;
      float ga = 1.0f - levels::duck_arp * duck[i];
      arp.l[i] *= ga;
      arp.r[i] *= ga;
    }

    // Sends.
    for (int i = 0; i < n; ++i) {
      reverb_in.l[i] = levels::reverb_drums * drums.l[i] + levels::reverb_fx * fx.l[i] +
                       levels::reverb_pad * pads.l[i] + levels::reverb_arp * arp.l[i] +
                       levels::reverb_piano * piano.l[i];
      reverb_in.r[i] = levels::reverb_drums * drums.r[i] + levels::reverb_fx * fx.r[i] +
                       levels::reverb_pad * pads.r[i] + levels::reverb_arp * arp.r[i] +
                       levels::reverb_piano * piano.r[i];
      delay_in.l[i] = levels::delay_arp * arp.l[i] + levels::delay_piano * piano.l[i];
      delay_in.r[i] = levels::delay_arp * arp.r[i] + levels::delay_piano * piano.r[i];
    }
    echo.process(delay_in.l, delay_in.r, reverb_in.l, reverb_in.r, n);  // echoes reverberate too
    room.process(reverb_in.l, reverb_in.r, wet.l, wet.r, n);

    // Master sum with the level automation and the hard cuts.
    const double level0 = piece.master_level.at(beat);
    const double level1 = piece.master_level.at(seconds_to_beat(static_cast<double>(pos + n) / sample_rate));
    float* o = out.data() + pos * 2;
    for (int i = 0; i < n; ++i) {
      float level = static_cast<float>(level0 + (level1 - level0) * i / n);
      float gw = levels::reverb_return * (1.0f - levels::duck_reverb * duck[i]);
      float l = drums.l[i] + fx.l[i] + bass.l[i] + pads.l[i] + arp.l[i] + piano.l[i] + gw * wet.l[i];
      float r = drums.r[i] + fx.r[i] + bass.r[i] + pads.r[i] + arp.r[i] + piano.r[i] + gw * wet.r[i];
      master_high_l.process(l * level);
      master_high_r.process(r * level);
      o[2 * i] = master_high_l.high;
      o[2 * i + 1] = master_high_r.high;
    }

    // A hard cut silences everything, tails included, from its first sample (after a 3 ms fade) to its
    // end; the block holding its start also stops every voice and empties the effects.
    for (const hard_cut& cut : piece.cuts) {
      const long from = std::lround(cut.from_seconds * sample_rate);
      const long to = std::lround(cut.to_seconds * sample_rate);
      if (from >= pos + n || to <= pos) continue;
      for (long f = std::max(from, pos); f < std::min(to, pos + n); ++f) out[2 * f] = out[2 * f + 1] = 0.0f;
      if (from >= pos) {
        const long fade = 132;
        for (long f = std::max(0L, from - fade); f < from; ++f) {
          float g = static_cast<float>(from - f) / fade;
          out[2 * f] *= g;
          out[2 * f + 1] *= g;
        }
        kick_pool.clear();
        snare_pool.clear();
        cymbal_pool.clear();
        impact_pool.clear();
        riser_pool.clear();
        bass_pool.clear();
        pad_pool.clear();
        arp_pool.clear();
        piano_pool.clear();
        room.clear();
        echo.clear();
        pad_filter_l.ic1 = pad_filter_l.ic2 = pad_filter_r.ic1 = pad_filter_r.ic2 = 0.0f;
      }
    }
  }
  return out;
}

}  // namespace soundtrack
