// The seam for the runtime's stand-in show part: its picture follows the frame's time and the
// music alone, so a frame nobody sees needs no step, and it has no timeline to probe.
#include "capture/show_timeline.h"
#include "engine/render_context.h"

void step_show_timeline(parts*, double*, render_context* context, frame_state* state) {
  context->current_frame = state;
}

bool probe_show_timeline(double, int, timeline_probe&, std::string& error) {
  error = "this build has no show part with a timeline (the stand-in part is linked)";
  return false;
}
