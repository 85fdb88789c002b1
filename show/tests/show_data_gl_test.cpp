// Frames of the show drawn with the show's own data files from the working directory (build/bin):
// the real shaders, meshes, images and key track. Skipped when the data has not been built.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/render_context.h"
#include "runtime/demo_state.h"
#include "show/part_start.h"
#include "show/tests/show_test_support.h"
#include "tests/support/gl_test_context.h"

namespace {

namespace fs = std::filesystem;

bool show_data_present() {
  for (const char* path :
       {"Materials/v_material1.cpp", "PostProcessing/f_blurpass.cpp", "neomeshes/escher.obj",
        "textures/noise.jpg", "textures/blob41b.jpg", "misc/piano3.txt"}) {
    if (!fs::exists(path)) return false;
  }
  return true;
}

TEST(ShowDataGl, FramesThroughTheShowRenderWithoutErrorsAndAreNotBlack) {
  if (!show_data_present()) GTEST_SKIP() << "the show's data files are not in the working directory";
  constexpr int w = 384, h = 216;
  test_gl::ensure_context(w, h);
  window_gl_defaults();
  demo.screen_width = demo.render_width = w;
  demo.screen_height = demo.render_height = h;
  render_context& context = global_render_context;
  context.compressed_upload = false;
  context.placeholder_images = false;
  context.create_target(0, w, h, 0);
  context.create_target(1, w / 2, h / 2, 0);
  part_start part;
  part.init(&context);
  EXPECT_TRUE(part.mesh_escher.loaded);
  EXPECT_TRUE(part.mesh_credits.loaded);
  EXPECT_GT(part.key_track.key_count, 1000);
  ASSERT_EQ(test_gl::drain_errors(), static_cast<GLenum>(GL_NO_ERROR));

  frame_state state{};
  for (int i = 0; i < 512; i++) state.spectrum[i] = 0.05f;
  // Running times across the show, warped ones included (83.4 -> 108.4, 192 -> 241).
  for (double ft : {0.5, 8.0, 20.0, 40.0, 60.0, 83.0, 90.0, 120.0, 145.0, 160.0, 180.0, 195.0, 214.9}) {
    part.ttime = part.fttime = ft;
    double step = 0.0;
    part.render(&step, &context, &state);
    EXPECT_EQ(test_gl::drain_errors(), static_cast<GLenum>(GL_NO_ERROR)) << "ft = " << ft;
    std::vector<uint8_t> px = test_gl::read_rgba(0, 0, w, h);
    int lit = 0;
    for (size_t p = 0; p < px.size(); p += 4) lit += px[p] > 12 || px[p + 1] > 12 || px[p + 2] > 12;
    EXPECT_GT(lit, w * h / 20) << "ft = " << ft;
  }
}

}  // namespace
