// A small stand-in for the show part until the show library provides one: a ring of bars that
// follows the music's spectrum and turns with the show time, so the program plays its music with
// a picture. Linked only while there is no vt_show target; delete this file and its two lines in
// CMakeLists.txt once the show part exists.
#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/render_context.h"
#include "runtime/frame_state.h"
#include "runtime/parts.h"
#include "shell/demo_state.h"

namespace {

struct standin_show_part : parts {
  void init(render_context*) override {}

  void render(double*, render_context* context, frame_state* state) override {
    context->current_frame = state;
    context->unbind_target();
    glViewport(0, 0, demo.render_width, demo.render_height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double aspect = static_cast<double>(demo.render_width) / std::max(demo.render_height, 1);
    glOrtho(-aspect, aspect, -1.0, 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    const double t = state->scene_time;
    glClearColor(0.02f, 0.03f, 0.08f + 0.04f * static_cast<float>(std::sin(t)), 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glUseProgram(0);

    // 64 bars, each the strongest of 4 neighbouring bands of the lower half of the spectrum.
    constexpr int bars = 64;
    const float turn = static_cast<float>(t * 20.0);
    glRotatef(turn, 0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    for (int i = 0; i < bars; ++i) {
      const auto first = state->spectrum.begin() + 1 + 4 * i;
      const float level = std::min(1.0f, 4.0f * *std::max_element(first, first + 4));
      const float a0 = 2.0f * std::numbers::pi_v<float> * i / bars;
      const float a1 = a0 + 0.8f * 2.0f * std::numbers::pi_v<float> / bars;
      const float inner = 0.3f;
      const float outer = inner + 0.05f + 0.6f * level;
      glColor3f(0.3f + 0.7f * level, 0.4f + 0.4f * static_cast<float>(i) / bars, 1.0f - 0.6f * level);
      glVertex2f(inner * std::cos(a0), inner * std::sin(a0));
      glVertex2f(outer * std::cos(a0), outer * std::sin(a0));
      glVertex2f(outer * std::cos(a1), outer * std::sin(a1));
      glVertex2f(inner * std::cos(a1), inner * std::sin(a1));
    }
    glEnd();
  }
};

}  // namespace

parts* create_show_part() { return new standin_show_part(); }
