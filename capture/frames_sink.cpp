// The output of --frames: each drawn frame of a stretch of the show as a numbered PNG file in the
// output folder.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "capture/offline_session.h"
#include "capture/offline_sink.h"
#include "capture/picture.h"
#include "runtime/demo_state.h"

namespace {

struct frames_sink final : offline_sink {
  const offline_options& options;

  explicit frames_sink(const offline_options& o) : options(o) {}

  long frames_expected() const override { return frames_in_span(options); }

  frame_choice choose(double show_time) const override { return choose_in_span(options, show_time); }

  frame_outcome keep(offline_session& s, uint64_t) override {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06ld.png", s.drawn - 1);
    const std::string path = (std::filesystem::path(options.output) / name).string();
    if (!save_png(path, read_back_buffer(demo.screen_width, demo.screen_height))) return frame_outcome::stop;
    s.progress.update(s.drawn);
    return frame_outcome::more;
  }

  void finish(offline_session& s) override {
    if (s.drawn == 0) return;
    s.progress.finish(s.drawn);
    s.done = !s.failed;
  }
};

}  // namespace

std::unique_ptr<offline_sink> make_frames_sink(const offline_options& options) {
  return std::make_unique<frames_sink>(options);
}
