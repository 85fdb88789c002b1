// The show's shader programs on the real GL driver: they compile and link without a word in the
// logs, declare the uniforms the show sets with the types it sets them with, and each pass does
// what the frame needs from it.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "data/tests/shader_harness.h"
#include "tests/support/gl_test_context.h"

namespace {

using shader_test::build_program;

struct program_case {
  const char* vertex;
  const char* fragment;
  std::map<std::string, GLenum> uniforms;  // what the show sets, with the GL type it uses
};

const std::vector<program_case>& show_programs() {
  static const std::vector<program_case> list = {
      {"Materials//v_material1.cpp",
       "Materials//f_material1.cpp",
       {{"texture2d_1", GL_SAMPLER_2D},
        {"texture2d_blob", GL_SAMPLER_2D},
        {"ttime", GL_FLOAT},
        {"fttime", GL_FLOAT},
        {"Mode", GL_INT},
        {"Holes", GL_FLOAT},
        {"NoBreak", GL_FLOAT},
        {"PosY", GL_FLOAT},
        {"PP", GL_FLOAT},
        {"PositionY", GL_FLOAT},
        {"DSP", GL_FLOAT}}},
      {"",
       "PostProcessing//f_combineSSAO.cpp",
       {{"texture2d_1", GL_SAMPLER_2D},
        {"texture2d_2", GL_SAMPLER_2D},
        {"texture2d_3", GL_SAMPLER_2D},
        {"texture2d_random", GL_SAMPLER_2D},
        {"Limit", GL_FLOAT},
        {"fttime", GL_FLOAT}}},
      {"",
       "PostProcessing//f_blurpass.cpp",
       {{"texture2d_1", GL_SAMPLER_2D},
        {"texture2d_s", GL_SAMPLER_2D},
        {"texture2d_velocities", GL_SAMPLER_2D},
        {"texture2d_random", GL_SAMPLER_2D},
        {"texture2d_2", GL_SAMPLER_2D},
        {"Limit", GL_FLOAT},
        {"ttime", GL_FLOAT},
        {"fttime", GL_FLOAT},
        {"DSP", GL_FLOAT},
        {"DSP2", GL_FLOAT}}},
      {"", "PostProcessing//f_blurhighlights.cpp", {{"texture2d_1", GL_SAMPLER_2D}}},
      {"", "PostProcessing//f_godrays.cpp", {{"texture2d_1", GL_SAMPLER_2D}}},
      {"", "PostProcessing//f_simpleblur.cpp", {{"texture2d_1", GL_SAMPLER_2D}}},
      {"PostProcessing//v_velocities.cpp", "PostProcessing//f_velocities.cpp", {}},
  };
  return list;
}

bool blank(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
}

class ShaderPrograms : public ::testing::Test {
 protected:
  void SetUp() override { test_gl::ensure_context(); }
  void TearDown() override {
    glUseProgram(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    EXPECT_EQ(test_gl::drain_errors(), static_cast<GLenum>(GL_NO_ERROR));
  }
};

TEST_F(ShaderPrograms, CompileAndLinkWithoutMessagesAndDeclareTheShowsUniforms) {
  for (const program_case& c : show_programs()) {
    SCOPED_TRACE(c.fragment);
    auto built = build_program(c.vertex, c.fragment);
    EXPECT_TRUE(built.ok) << built.log;
    EXPECT_TRUE(blank(built.log)) << built.log;
    auto active = shader_test::active_uniforms(built.program);
    for (const auto& [name, type] : c.uniforms) {
      ASSERT_TRUE(active.count(name)) << name << " is not an active uniform";
      EXPECT_EQ(active[name], type) << name;
    }
  }
}

// Window depth of an eye distance z for the scene's projection (near 0.1, far 30).
float window_depth(float z) { return (30.0f - 0.1f * 30.0f / z) / (30.0f - 0.1f); }

std::vector<float> fill(int w, int h, float r, float g, float b, float a) {
  std::vector<float> v;
  for (int i = 0; i < w * h; ++i) v.insert(v.end(), {r, g, b, a});
  return v;
}

std::vector<float> noise(int w, int h) {
  std::vector<float> v;
  unsigned s = 12345;
  for (int i = 0; i < w * h * 4; ++i) {
    s = s * 1103515245u + 12345u;
    v.push_back(((s >> 16) & 0x7fff) / 32767.0f);
  }
  return v;
}

float at(const std::vector<float>& px, int w, int x, int y, int channel) { return px[4 * (y * w + x) + channel]; }

void bind(GLuint program, int unit, const char* name, GLuint texture) {
  glActiveTexture(GL_TEXTURE0 + unit);
  glBindTexture(GL_TEXTURE_2D, texture);
  glUniform1i(glGetUniformLocation(program, name), unit);
}

// Runs the combine pass over a 64x64 picture of white stone with the given eye distances.
std::vector<float> ambient_occlusion(const std::vector<float>& eye_z) {
  const int n = 64;
  auto built = build_program("", "PostProcessing//f_combineSSAO.cpp");
  std::vector<float> depth;
  for (float z : eye_z) depth.push_back(window_depth(z));
  GLuint colour = shader_test::float_texture(n, n, fill(n, n, 1, 1, 1, 0));
  GLuint normals = shader_test::float_texture(n, n, fill(n, n, 0.5f, 0.5f, 1.0f, 0.1f));
  GLuint random = shader_test::float_texture(n, n, noise(n, n));
  GLuint depth_tex = shader_test::depth_texture(n, n, depth);
  auto t = shader_test::make_target(n, n, 1);
  glUseProgram(built.program);
  bind(built.program, 0, "texture2d_1", colour);
  bind(built.program, 1, "texture2d_2", depth_tex);
  bind(built.program, 2, "texture2d_3", normals);
  bind(built.program, 3, "texture2d_random", random);
  glUniform1f(glGetUniformLocation(built.program, "Limit"), 0.3f);
  glDisable(GL_DEPTH_TEST);
  shader_test::full_screen_quad();
  return shader_test::read_target(t, 0);
}

TEST_F(ShaderPrograms, AmbientOcclusionDarkensCreasesButNotOpenSurfaces) {
  const int n = 64;
  auto flat = ambient_occlusion(std::vector<float>(n * n, 3.0f));
  float darkest = 1;
  for (size_t i = 0; i < flat.size(); i += 4) darkest = std::min(darkest, flat[i]);
  EXPECT_GT(darkest, 0.9f) << "a flat wall facing the camera has nothing to occlude it";

  // A step: the right half stands one unit closer; the far floor next to it lies in its shadow.
  std::vector<float> step(n * n);
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) step[y * n + x] = x < 32 ? 3.0f : 2.0f;
  }
  auto out = ambient_occlusion(step);
  float crease = 0, open = 0;
  for (int y = 20; y < 44; ++y) {
    crease += at(out, n, 29, y, 0);
    open += at(out, n, 3, y, 0);
  }
  EXPECT_LT(crease / 24, open / 24 - 0.15f) << "crease " << crease / 24 << " open " << open / 24;
  EXPECT_GT(at(out, n, 50, 32, 0), 0.9f) << "the near surface is not occluded by what lies behind it";
}

TEST_F(ShaderPrograms, GodRaysStreamOutwardFromTheScreenCentre) {
  const int n = 64;
  auto built = build_program("", "PostProcessing//f_godrays.cpp");
  auto picture = fill(n, n, 0, 0, 0, 1);
  for (int y = 30; y < 34; ++y) {
    for (int x = 46; x < 50; ++x) {
      for (int c = 0; c < 3; ++c) picture[4 * (y * n + x) + c] = 1.0f;
    }
  }
  GLuint source = shader_test::float_texture(n, n, picture);
  auto t = shader_test::make_target(n, n, 1);
  glUseProgram(built.program);
  bind(built.program, 0, "texture2d_1", source);
  shader_test::full_screen_quad();
  auto out = shader_test::read_target(t, 0);
  float beyond = at(out, n, 58, 32, 0), mirrored = at(out, n, 5, 32, 0), above = at(out, n, 48, 50, 0);
  EXPECT_GT(beyond, 0.05f);
  EXPECT_GT(beyond, 10 * mirrored + 0.01f);
  EXPECT_GT(beyond, 3 * above);
}

TEST_F(ShaderPrograms, FinalBlurKeepsDepthEdgesSharpAndGreysNearTheirValue) {
  const int n = 64;
  auto built = build_program("", "PostProcessing//f_blurpass.cpp");
  auto picture = fill(n, n, 0, 0, 0, 0);
  std::vector<float> depth(n * n);
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      bool lit = x >= 32;
      for (int c = 0; c < 3; ++c) picture[4 * (y * n + x) + c] = lit ? 0.6f : 0.0f;
      depth[y * n + x] = window_depth(lit ? 2.0f : 10.0f);
    }
  }
  GLuint colour = shader_test::float_texture(n, n, picture);
  GLuint depth_tex = shader_test::depth_texture(n, n, depth);
  GLuint random = shader_test::float_texture(n, n, noise(n, n));
  GLuint black = shader_test::float_texture(n, n, fill(n, n, 0, 0, 0, 1));
  auto t = shader_test::make_target(n, n, 1);
  glUseProgram(built.program);
  bind(built.program, 0, "texture2d_1", colour);
  bind(built.program, 1, "texture2d_velocities", random);
  bind(built.program, 2, "texture2d_random", random);
  bind(built.program, 3, "texture2d_2", depth_tex);
  bind(built.program, 4, "texture2d_s", black);
  glUniform1f(glGetUniformLocation(built.program, "fttime"), 30.0f);
  glUniform1f(glGetUniformLocation(built.program, "ttime"), 30.0f);
  shader_test::full_screen_quad();
  auto out = shader_test::read_target(t, 0);
  float lit_edge = 0, dark_edge = 0;
  for (int y = 24; y < 40; ++y) {
    lit_edge += at(out, n, 33, y, 1) / 16;
    dark_edge += at(out, n, 30, y, 1) / 16;
  }
  EXPECT_NEAR(lit_edge, 0.6f, 0.08f);
  EXPECT_LT(dark_edge, 0.06f);
}

// Draws a camera-facing wall 5 units away with the scene material.
struct material_run {
  std::vector<float> colour, normal_depth;
};
material_run draw_material(int mode, float holes, float no_break, float r, float g, float b) {
  const int n = 64;
  auto built = build_program("Materials//v_material1.cpp", "Materials//f_material1.cpp");
  GLuint flat_normals = shader_test::float_texture(4, 4, fill(4, 4, 0.5f, 0.5f, 1.0f, 1));
  GLuint blob = shader_test::float_texture(4, 4, fill(4, 4, 0, 0, 0, 1));
  auto t = shader_test::make_target(n, n, 2);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glUseProgram(built.program);
  bind(built.program, 0, "texture2d_1", flat_normals);
  bind(built.program, 3, "texture2d_blob", blob);
  glUniform1f(glGetUniformLocation(built.program, "ttime"), 40.0f);
  glUniform1f(glGetUniformLocation(built.program, "fttime"), 40.0f);
  glUniform1i(glGetUniformLocation(built.program, "Mode"), mode);
  glUniform1f(glGetUniformLocation(built.program, "Holes"), holes);
  glUniform1f(glGetUniformLocation(built.program, "NoBreak"), no_break);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(-0.0767, 0.0767, -0.0767, 0.0767, 0.1, 30);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glColor3f(r, g, b);
  glNormal3f(0, 0, 1);
  glBegin(GL_QUADS);
  glVertex3f(-6, -6, -5);
  glVertex3f(6, -6, -5);
  glVertex3f(6, 6, -5);
  glVertex3f(-6, 6, -5);
  glEnd();
  glDisable(GL_DEPTH_TEST);
  return {shader_test::read_target(t, 0), shader_test::read_target(t, 1)};
}

float mean(const std::vector<float>& px, int channel) {
  double sum = 0;
  for (size_t i = channel; i < px.size(); i += 4) sum += px[i];
  return static_cast<float>(sum / (px.size() / 4));
}

TEST_F(ShaderPrograms, MaterialWritesNormalAndDepthAndLightsByMode) {
  auto stone = draw_material(0, 0, 0, 0.5f, 0.5f, 0.5f);
  const int mid = 4 * (32 * 64 + 32);
  EXPECT_NEAR(stone.normal_depth[mid + 0], 0.5f, 0.02f);
  EXPECT_NEAR(stone.normal_depth[mid + 1], 0.5f, 0.02f);
  EXPECT_NEAR(stone.normal_depth[mid + 2], 1.0f, 0.02f);
  EXPECT_NEAR(stone.normal_depth[mid + 3], 5.0f / 30.0f, 0.01f);
  EXPECT_GT(mean(stone.colour, 0), 0.05f);
  EXPECT_LT(mean(stone.colour, 0), 0.95f);

  auto emitting = draw_material(1, 0, 0, 0.5f, 0.5f, 0.5f);
  EXPECT_GT(mean(emitting.colour, 0), mean(stone.colour, 0) + 0.05f);
  EXPECT_GT(mean(emitting.colour, 3), mean(stone.colour, 3) + 0.2f) << "emitted light is marked in alpha";

  auto beam = draw_material(2, 0, 0, 0.0f, 0.4f, 1.0f);
  EXPECT_GT(beam.colour[mid + 3], mean(emitting.colour, 3)) << "a beam is all light (dimmed by distance)";
  EXPECT_GT(beam.colour[mid + 2], beam.colour[mid + 0] + 0.2f) << "a blue beam stays blue";
}

float opened_fraction(const material_run& run) {
  int open = 0, total = 0;
  for (size_t i = 3; i < run.normal_depth.size(); i += 4, ++total) open += run.normal_depth[i] == 0.0f;
  return float(open) / total;
}

TEST_F(ShaderPrograms, HolesCutOpeningsIntoStoneOnly) {
  EXPECT_EQ(opened_fraction(draw_material(0, 0, 0, 0.5f, 0.5f, 0.5f)), 0.0f);
  float ragged = opened_fraction(draw_material(0, 1, 0, 0.5f, 0.5f, 0.5f));
  float slots = opened_fraction(draw_material(0, 1, 1, 0.5f, 0.5f, 0.5f));
  EXPECT_GT(ragged, 0.02f);
  EXPECT_GT(slots, 0.02f);
  EXPECT_LT(slots, 0.5f) << "the structure must stay readable";
  EXPECT_EQ(opened_fraction(draw_material(0, 1, 0, 1.0f, 1.0f, 0.0f)), 0.0f) << "coloured accents stay whole";
  EXPECT_EQ(opened_fraction(draw_material(2, 1, 0, 0.5f, 0.5f, 0.5f)), 0.0f) << "beams stay whole";
}

}  // namespace
