// The output of --probe: the show's timeline at one show time, computed without a window, as one
// line of JSON on standard output.
#include <cstdio>
#include <string>

#include "capture/offline_options.h"
#include "capture/offline_sink.h"
#include "capture/show_timeline.h"

int run_probe(const offline_options& o) {
  timeline_probe probe;
  std::string error;
  if (!probe_show_timeline(o.time, o.fps, probe, error)) {
    std::fprintf(stderr, "offline: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", probe_json(probe).c_str());
  return 0;
}
