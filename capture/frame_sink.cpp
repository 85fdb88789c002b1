// The output of --frame: the first frame at or after the asked-for show time as one PNG file.
#include <cstdio>
#include <memory>

#include "capture/offline_session.h"
#include "capture/offline_sink.h"
#include "capture/picture.h"
#include "runtime/demo_state.h"

namespace {

struct frame_sink final : offline_sink {
  const offline_options& options;

  explicit frame_sink(const offline_options& o) : options(o) {}

  long frames_expected() const override { return 0; }

  frame_choice choose(double show_time) const override {
    return show_time >= options.time ? frame_choice::draw : frame_choice::skip;
  }

  // A picture that cannot be written still completes the run, which then fails.
  frame_outcome keep(offline_session& s, uint64_t frame) override {
    if (!save_png(options.output, read_back_buffer(demo.screen_width, demo.screen_height))) s.failed = true;
    std::fprintf(stderr, "offline: frame %llu at show time %.4f s\n", static_cast<unsigned long long>(frame),
                 demo.show_time);
    s.done = !s.failed;
    return frame_outcome::complete;
  }

  void finish(offline_session&) override {}
};

}  // namespace

std::unique_ptr<offline_sink> make_frame_sink(const offline_options& options) {
  return std::make_unique<frame_sink>(options);
}
