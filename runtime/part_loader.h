#pragma once
// The loading part: one black frame, shown while the show part loads.
#include <cstdint>

#include "runtime/parts.h"

struct part_loader final : parts {
  int32_t texture_offset = 0;  // added to texture index 10 when binding

  void render(double* step, render_context* context, frame_state* state) override;
  std::optional<start_failure> init(render_context* context) override;
};
