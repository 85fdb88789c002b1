// What the outputs of the offline modes share: the stretch of the show that the video and the
// numbered pictures take, and writing a picture with its failure reported.
#include "capture/offline_sink.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "capture/offline_options.h"
#include "capture/picture.h"
#include "runtime/frame_clock.h"

long frames_in_span(const offline_options& o) {
  const double span = std::min(o.to, show_end) - std::max(o.from, 0.0);
  return std::max(0L, static_cast<long>(std::ceil(span * o.fps)));
}

frame_choice choose_in_span(const offline_options& o, double show_time) {
  if (show_time > o.to) return frame_choice::end;
  return show_time >= o.from ? frame_choice::draw : frame_choice::skip;
}

bool save_png(const std::string& path, const picture& p) {
  if (write_png(path, p)) return true;
  std::fprintf(stderr, "offline: cannot write %s\n", path.c_str());
  return false;
}
