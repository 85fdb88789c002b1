// The output of --capture: each drawn frame piped to the video encoder as it comes, with the sound
// that plays during it; the video is muxed when the run ends.
#include <chrono>
#include <memory>

#include "capture/offline_session.h"
#include "capture/offline_sink.h"
#include "capture/picture.h"
#include "capture/video_writer.h"
#include "runtime/demo_state.h"

namespace {

using clock_type = std::chrono::steady_clock;

double seconds_between(clock_type::time_point from, clock_type::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

struct video_sink final : offline_sink {
  const offline_options& options;
  video_writer video;
  bool video_open = false;

  explicit video_sink(const offline_options& o) : options(o) {}

  long frames_expected() const override { return frames_in_span(options); }

  bool open() override {
    video_open =
        video.open(options.output, demo.screen_width, demo.screen_height, options.fps, offline_mix_rate);
    return video_open;
  }

  frame_choice choose(double show_time) const override { return choose_in_span(options, show_time); }

  frame_outcome keep(offline_session& s, uint64_t) override {
    const auto read_start = clock_type::now();
    // The encoder flips the rows itself: they are piped bottom-up as GL reads them.
    const picture p = read_back_buffer(demo.screen_width, demo.screen_height, true);
    const auto write_start = clock_type::now();
    s.reading_seconds += seconds_between(read_start, write_start);
    if (!video.add_frame(p)) return frame_outcome::stop;
    s.writing_seconds += seconds_between(write_start, clock_type::now());
    s.progress.update(s.drawn);
    return frame_outcome::more;
  }

  bool keeps_sound() const override { return video_open; }

  bool add_sound(const float* samples, unsigned frame_count) override {
    return video.add_sound(samples, frame_count);
  }

  void finish(offline_session& s) override {
    if (!video_open) return;
    s.progress.finish(s.drawn);
    if (!video.finish()) s.failed = true;
    video_open = false;
    if (s.drawn > 0) s.done = !s.failed;
  }
};

}  // namespace

std::unique_ptr<offline_sink> make_video_sink(const offline_options& options) {
  return std::make_unique<video_sink>(options);
}
