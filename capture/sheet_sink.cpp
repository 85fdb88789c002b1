// The output of --contact-sheet: a labelled picture every --every seconds of the show, laid out on
// one sheet written when the run ends.
#include <cstdio>
#include <memory>
#include <vector>

#include "capture/contact_sheet.h"
#include "capture/offline_session.h"
#include "capture/offline_sink.h"
#include "capture/picture.h"
#include "runtime/demo_state.h"

namespace {

struct sheet_sink final : offline_sink {
  const offline_options& options;
  std::vector<double> tile_times;  // the show time of each picture
  std::vector<sheet_tile> tiles;   // the pictures taken so far

  explicit sheet_sink(const offline_options& o) : options(o) {
    const int count = static_cast<int>(contact_sheet_tiles(o.every));
    for (int i = 0; i < count; ++i) tile_times.push_back(i * o.every);
  }

  long frames_expected() const override { return static_cast<long>(tile_times.size()); }

  frame_choice choose(double show_time) const override {
    const bool due = tiles.size() < tile_times.size() && show_time >= tile_times[tiles.size()];
    return due ? frame_choice::draw : frame_choice::skip;
  }

  frame_outcome keep(offline_session& s, uint64_t) override {
    char label[32];
    std::snprintf(label, sizeof label, "%.2f s", demo.show_time);
    tiles.push_back({read_back_buffer(demo.screen_width, demo.screen_height), label});
    s.progress.update(static_cast<long>(tiles.size()));
    return tiles.size() == tile_times.size() ? frame_outcome::complete : frame_outcome::more;
  }

  void finish(offline_session& s) override {
    if (tiles.empty()) return;
    const picture sheet = make_contact_sheet(tiles, contact_sheet_columns(static_cast<int>(tiles.size())));
    if (!save_png(options.output, sheet)) s.failed = true;
    s.done = !s.failed && tiles.size() == tile_times.size();
  }
};

}  // namespace

std::unique_ptr<offline_sink> make_sheet_sink(const offline_options& options) {
  return std::make_unique<sheet_sink>(options);
}
