// Shader library, screen passes, draw_quad and the projector matrix on a real GL context.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "engine/render_context.h"
#include "engine/screen_pass.h"
#include "engine/shader_library.h"
#include "engine/sweep_tube.h"
#include "tests/support/gl_test_context.h"

namespace {

constexpr int W = 32, H = 16;

std::string shader_file(const std::string& name, const std::string& text) {
  const auto path = std::filesystem::temp_directory_path() / ("engine_shader_" + name);
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

// Adds 0.25 to red on every pass.
const char* add_red = R"(
uniform sampler2D texture2d_1;
uniform float gain;
void main() { gl_FragColor = texture2D(texture2d_1, gl_TexCoord[0].st) + vec4(0.25 * gain, 0.0, 0.0, 0.0); }
)";

// Red from the first input, green from the second, blue from the third.
const char* three_inputs = R"(
uniform sampler2D texture2d_1;
uniform sampler2D texture2d_2;
uniform sampler2D texture2d_3;
void main() {
  vec2 st = gl_TexCoord[0].st;
  gl_FragColor = vec4(texture2D(texture2d_1, st).r, texture2D(texture2d_2, st).g, texture2D(texture2d_3, st).b, 1.0);
}
)";

const char* pass_vertex = R"(
void main() { gl_Position = ftransform(); gl_TexCoord[0] = gl_MultiTexCoord0; }
)";

class GlPasses : public testing::Test {
 protected:
  void SetUp() override {
    test_gl::ensure_context();
    glUseProgram(0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glActiveTexture(GL_TEXTURE0);
    test_gl::drain_errors();
  }
  void TearDown() override {
    ctx.unbind_target();
    glUseProgram(0);
    EXPECT_EQ(test_gl::drain_errors(), GLenum(GL_NO_ERROR));
  }

  // A W x H texture of one colour at `index`, nearest filtering.
  void solid_texture(int index, uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> bytes(W * H * 4);
    for (size_t k = 0; k < bytes.size(); k += 4) {
      bytes[k] = r;
      bytes[k + 1] = g;
      bytes[k + 2] = b;
      bytes[k + 3] = 255;
    }
    glGenTextures(1, &ctx.texture_slot(index));
    ctx.bind_texture(index);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, W, H, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
  }

  std::vector<uint8_t> texture_rgba(int index) {
    std::vector<uint8_t> pixels(W * H * 4);
    glActiveTexture(GL_TEXTURE0);
    ctx.bind_texture(index);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  render_context ctx;
  shader_library library;
};

TEST_F(GlPasses, ShaderLoadingLogsAndCarriesOn) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  library.load_fragment_shader("/nonexistent/engine_shader.cpp", 5);
  std::string err = testing::internal::GetCapturedStderr();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.rfind("Cannot open shader source file.\n", 0), 0u) << out;
  EXPECT_EQ(err,
            "/nonexistent/engine_shader.cpp: cannot open shader source file: No such file or directory\n");
  // The compile log of the empty text that stands in for it names the file.
  EXPECT_NE(out.find("\n/nonexistent/engine_shader.cpp:"), std::string::npos) << out;
  EXPECT_NE(library.fragment_shaders[5], 0u);
  GLint status = 1;
  glGetShaderiv(library.fragment_shaders[5], GL_COMPILE_STATUS, &status);
  EXPECT_EQ(status, GL_FALSE);

  // An empty file: a zero-length string for GL and an error in the printed log.
  const std::string empty = shader_file("empty.cpp", "");
  const std::unique_ptr<char[]> text = read_shader_source(empty.c_str());
  ASSERT_TRUE(text);
  EXPECT_EQ(text[0], '\0');
  testing::internal::CaptureStdout();
  library.load_fragment_program(empty.c_str(), 6);
  out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.rfind(empty + ":", 0), 0u) << "expected a compile error naming the file: " << out;
  EXPECT_NE(out.find(empty + ": link failed: "), std::string::npos) << out;
  EXPECT_NE(library.programs[6], 0u);
  EXPECT_FALSE(library.linked[6]);
  // Its program did not link, so it is not made current: the fixed function stays, without errors.
  EXPECT_EQ(test_gl::drain_errors(), GLenum(GL_NO_ERROR));
  GLint current = -1;
  glGetIntegerv(GL_CURRENT_PROGRAM, &current);
  EXPECT_EQ(current, 0);
  // A directory opens but holds no text: compiled as empty.
  EXPECT_EQ(read_shader_source(std::filesystem::temp_directory_path().c_str())[0], '\0');

  // A clean compile prints its (empty) log line.
  testing::internal::CaptureStdout();
  library.load_program(shader_file("pass_v.cpp", pass_vertex).c_str(),
                       shader_file("add.cpp", add_red).c_str(), 7);
  out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2) << out;
  glGetProgramiv(library.programs[7], GL_LINK_STATUS, &status);
  EXPECT_EQ(status, GL_TRUE);
  EXPECT_TRUE(library.linked[7]);
  glGetIntegerv(GL_CURRENT_PROGRAM, &current);
  EXPECT_EQ(current, 0);  // load_program does not make its program current

  // A compile error: every log line names the file and, where the driver gives one, the line.
  const std::string broken = shader_file("broken.cpp", "void main() {\n  gl_FragColor = vec4(1.0)\n}\n");
  testing::internal::CaptureStdout();
  library.load_fragment_shader(broken.c_str(), 8);
  out = testing::internal::GetCapturedStdout();
  ASSERT_EQ(out.rfind(broken + ":", 0), 0u) << out;
  EXPECT_TRUE(out[broken.size() + 1] >= '1' && out[broken.size() + 1] <= '9') << "no source line: " << out;
}

TEST_F(GlPasses, AMissingShaderLeavesNoGlErrors) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  library.load_program("/nonexistent/v.cpp", shader_file("add.cpp", add_red).c_str(), 11);
  library.load_fragment_program("/nonexistent/f.cpp", 12);
  testing::internal::GetCapturedStderr();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("/nonexistent/v.cpp + "), std::string::npos) << "the link log names both files: " << out;
  EXPECT_FALSE(library.linked[11]);
  EXPECT_FALSE(library.linked[12]);
  // Everything a pass does with its program, as the show does it every frame.
  solid_texture(1, 10, 20, 30);
  for (int slot : {11, 12}) {
    library.use_program(slot);
    library.set_uniform_1f(slot, "gain", 1.0f);
    library.set_uniform_1i(slot, "mode", 2);
    library.bind_sampler(GL_TEXTURE_2D, slot, 1, "texture2d_1", ctx.texture_slot(1));
    glBegin(GL_QUADS);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
  }
  library.use_fixed_function();
  glActiveTexture(GL_TEXTURE0);
  EXPECT_EQ(test_gl::drain_errors(), GLenum(GL_NO_ERROR));
}

// Author mode's rebuild: a broken shader keeps the program that runs; a fixed one replaces it.
TEST_F(GlPasses, ReloadKeepsTheOldProgramOnABrokenShader) {
  const auto folder = std::filesystem::temp_directory_path() / "engine_reload";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "v.cpp") << pass_vertex;
  std::ofstream(folder / "f.cpp") << add_red;
  shader_source_folder = folder.string();
  testing::internal::CaptureStdout();
  library.load_program("v.cpp", "f.cpp", 13);
  ASSERT_TRUE(library.linked[13]);
  const uint32_t first = library.programs[13];

  std::ofstream(folder / "f.cpp") << "void main() {\n  gl_FragColor = vec4(1.0)\n}\n";
  std::string error;
  EXPECT_FALSE(library.reload_program("v.cpp", "f.cpp", 13, error));
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(error.rfind(folder.string() + "/f.cpp: ", 0), 0u) << error;
  EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
  EXPECT_NE(out.find(folder.string() + "/f.cpp:"), std::string::npos)
      << "the log goes to the console: " << out;
  EXPECT_EQ(library.programs[13], first);
  EXPECT_TRUE(library.linked[13]);
  EXPECT_TRUE(glIsProgram(first));

  // The old program still draws: red 0.25 added to a black input.
  solid_texture(1, 0, 0, 0);
  auto draw = [&] {
    library.use_program(13);
    library.set_uniform_1f(13, "gain", 1.0f);
    library.bind_sampler(GL_TEXTURE_2D, 13, 0, "texture2d_1", ctx.texture_slot(1));
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(-1, -1);
    glTexCoord2f(1, 0), glVertex2f(1, -1);
    glTexCoord2f(1, 1), glVertex2f(1, 1);
    glTexCoord2f(0, 1), glVertex2f(-1, 1);
    glEnd();
    library.use_fixed_function();
    return test_gl::read_rgba(W / 2, H / 2, 1, 1);
  };
  EXPECT_NEAR(draw()[0], 64, 2);

  // A fixed file builds a new program in its place: now 0.75 red.
  std::ofstream(folder / "f.cpp")
      << "uniform float gain;\nvoid main() { gl_FragColor = vec4(0.75 * gain, 0.0, 0.0, 1.0); }\n";
  testing::internal::CaptureStdout();
  EXPECT_TRUE(library.reload_program("v.cpp", "f.cpp", 13, error));
  testing::internal::GetCapturedStdout();
  EXPECT_NE(library.programs[13], first);
  EXPECT_NEAR(draw()[0], 191, 2);

  // A missing file is a failure too, and names it.
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_FALSE(library.reload_program(nullptr, "gone.cpp", 13, error));
  testing::internal::GetCapturedStderr();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(error, folder.string() + "/gone.cpp: cannot open shader source file");
  shader_source_folder.clear();
  glActiveTexture(GL_TEXTURE0);
  EXPECT_EQ(test_gl::drain_errors(), GLenum(GL_NO_ERROR));
}

TEST_F(GlPasses, UniformsAndSamplers) {
  testing::internal::CaptureStdout();
  library.load_fragment_program(shader_file("three.cpp", three_inputs).c_str(), 3);
  library.load_fragment_program(shader_file("add.cpp", add_red).c_str(), 2);
  testing::internal::GetCapturedStdout();
  GLint current = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &current);
  EXPECT_EQ(GLuint(current), library.programs[2]);

  library.set_uniform_1f(2, "gain", 3.5f);
  GLfloat gain = 0;
  glGetUniformfv(library.programs[2], glGetUniformLocation(library.programs[2], "gain"), &gain);
  EXPECT_EQ(gain, 3.5f);
  // Names the program does not declare are ignored without an error.
  library.set_uniform_1f(2, "not_declared", 1.0f);
  library.set_uniform_1i(2, "not_declared", 1);
  EXPECT_EQ(test_gl::drain_errors(), GLenum(GL_NO_ERROR));

  library.use_program(3);
  solid_texture(50, 1, 2, 3);
  library.bind_sampler(GL_TEXTURE_2D, 3, 0, "texture2d_1", ctx.textures[50]);
  library.bind_sampler(GL_TEXTURE_2D, 3, 1, "texture2d_2", ctx.textures[50]);
  GLint value = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
  EXPECT_EQ(value, GL_TEXTURE1);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
  EXPECT_EQ(GLuint(value), ctx.textures[50]);
  glGetUniformiv(library.programs[3], glGetUniformLocation(library.programs[3], "texture2d_2"), &value);
  EXPECT_EQ(value, 1);
  library.use_fixed_function();
  glGetIntegerv(GL_CURRENT_PROGRAM, &current);
  EXPECT_EQ(current, 0);
}

TEST_F(GlPasses, ScreenPassIteratesOnItsOwnOutput) {
  testing::internal::CaptureStdout();
  library.load_fragment_program(shader_file("add.cpp", add_red).c_str(), 1);
  library.load_fragment_program(shader_file("three.cpp", three_inputs).c_str(), 4);
  testing::internal::GetCapturedStdout();
  library.use_program(1);
  library.set_uniform_1f(1, "gain", 1.0f);
  ctx.create_target(1, W, H, 0);
  solid_texture(60, 0, 100, 0);  // source
  solid_texture(61, 9, 9, 9);    // destination

  ctx.screen_pass(library, 1, 1, 2, W, H, 60, 61, -1, -1);
  const std::vector<uint8_t> result = texture_rgba(61);
  for (size_t k = 0; k < result.size(); k += 4) {
    ASSERT_NEAR(result[k], 128, 1) << k;  // two passes of +0.25
    ASSERT_EQ(result[k + 1], 100);
  }
  GLint value = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &value);
  EXPECT_EQ(value, 0);
  glGetIntegerv(GL_MATRIX_MODE, &value);
  EXPECT_EQ(value, GL_MODELVIEW);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], W);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));

  // One pass of three inputs; the second and third go to units 1 and 2.
  solid_texture(62, 0, 200, 0);
  solid_texture(63, 0, 0, 50);
  ctx.screen_pass(library, 4, 1, 1, W, H, 61, 61, 62, 63);
  const std::vector<uint8_t> mixed = texture_rgba(61);
  EXPECT_NEAR(mixed[0], 128, 1);
  EXPECT_EQ(mixed[1], 200);
  EXPECT_EQ(mixed[2], 50);
  glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
  EXPECT_EQ(value, GL_TEXTURE0);  // texture_rgba selected unit 0; the pass itself ends on unit 2

  // Zero passes draw nothing and leave the fixed-function state reset.
  glEnable(GL_BLEND);
  glEnable(GL_LIGHTING);
  ctx.screen_pass(library, 1, 1, 0, W, H, 60, 61, -1, -1);
  EXPECT_EQ(texture_rgba(61), mixed);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &value);
  EXPECT_EQ(value, 0);
}

TEST_F(GlPasses, DrawQuadMirrorsNegativeScale) {
  // A 2 x 1 texture: red on the left, blue on the right.
  const uint8_t texels[8] = {255, 0, 0, 255, 0, 0, 255, 255};
  glGenTextures(1, &ctx.texture_slot(70));
  ctx.bind_texture(70);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  ctx.create_target(2, W, H, 0);

  auto draw = [&](double scale_x) {
    ctx.bind_target(2, 1);
    glViewport(0, 0, W, H);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    reset_state();
    glEnable(GL_TEXTURE_2D);
    ctx.bind_texture(70);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    draw_quad(0.0, scale_x, 1.0, false, 1.0f);
    return test_gl::read_rgba(0, H / 2, W, 1);
  };
  // Scale 0.5 covers the middle half: pixels 8..23.
  std::vector<uint8_t> row = draw(0.5);
  EXPECT_EQ(row[4 * 7 + 0] + row[4 * 7 + 2], 0);  // outside
  EXPECT_EQ(row[4 * 8 + 0], 255);                 // left edge red
  EXPECT_EQ(row[4 * 23 + 2], 255);                // right edge blue
  EXPECT_EQ(row[4 * 24 + 0] + row[4 * 24 + 2], 0);
  row = draw(-0.5);
  EXPECT_EQ(row[4 * 7 + 0] + row[4 * 7 + 2], 0);
  EXPECT_EQ(row[4 * 8 + 2], 255);  // mirrored: blue on the left
  EXPECT_EQ(row[4 * 23 + 0], 255);
  EXPECT_EQ(row[4 * 24 + 0] + row[4 * 24 + 2], 0);
  row = draw(0.0);  // zero width: nothing drawn
  EXPECT_EQ(row[4 * 16 + 0] + row[4 * 16 + 2], 0);
  glDisable(GL_TEXTURE_2D);
}

TEST_F(GlPasses, DrawQuadBillboardKeepsOnlyTheTranslation) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(3, 4, 5);
  glRotatef(40, 1, 1, 0);
  glScalef(7, 7, 7);
  draw_quad(90.0, 2.0, 3.0, true, 1.0f);
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  // Rotation by 90 degrees about z, then scale (2, 3, 0), after the translation.
  const GLfloat expected[16] = {0, 2, 0, 0, -3, 0, 0, 0, 0, 0, 0, 0, 3, 4, 5, 1};
  for (int k = 0; k < 16; ++k) EXPECT_NEAR(m[k], expected[k], 1e-5) << k;
  glLoadIdentity();
}

TEST_F(GlPasses, SweepTubeDrawsInImmediateMode) {
  // A straight tube of radius 0.25 along x through the middle of an orthographic view.
  spline_track track;
  for (int k = 0; k < 6; ++k) {
    track.channel0.push_back({1, float(k) * 0.5f - 1.25f, 0, 0});
    track.channel1.push_back({1, 0.25f, 0, 0});
    track.channel2.push_back({1, 0, 0, 0});
    ++track.key_count;
  }
  ctx.create_target(2, W, H, 0);
  ctx.bind_target(2, 1);
  glViewport(0, 0, W, H);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  reset_state();
  glColor3f(1, 1, 1);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  sweep_tube(track, vec3{1, 0, 0, 1}, 0.0, 4.0, 4, 8);
  EXPECT_EQ(test_gl::drain_errors(), GLenum(GL_NO_ERROR));
  // Covered: rows within 0.25 of the axis from x = -1.25 on (pixel 0) to the last key at 0.75.
  const std::vector<uint8_t> pixels = test_gl::read_rgba(0, 0, W, H);
  auto red = [&](int x, int y) { return pixels[4 * (y * W + x)]; };
  EXPECT_EQ(red(4, H / 2), 255);
  EXPECT_EQ(red(W * 7 / 8 - 2, H / 2), 255);
  EXPECT_EQ(red(W - 1, H / 2), 0);  // beyond the last key
  EXPECT_EQ(red(W / 2, 1), 0);      // outside the radius
  EXPECT_EQ(red(W / 2, H - 2), 0);
}

// Column-major 4 x 4 product a * b.
std::vector<double> multiply(const std::vector<double>& a, const std::vector<double>& b) {
  std::vector<double> c(16, 0.0);
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 4; ++row)
      for (int k = 0; k < 4; ++k) c[col * 4 + row] += a[k * 4 + row] * b[col * 4 + k];
  return c;
}

TEST_F(GlPasses, ProjectorMatrixOnUnitTwo) {
  camera view;
  view.name = "ProjectionMatrix";
  view.eye = {1, 1, 2, 3};
  view.center = {1, 0, 0, 0};
  view.up = {1, 0, 0, 1};
  view.fov = 75;
  view.aspect = 1.6;
  view.near_distance = 0.1;
  view.far_distance = 100;

  glMatrixMode(GL_TEXTURE);
  glActiveTexture(GL_TEXTURE0);
  glLoadIdentity();
  glTranslatef(9, 9, 9);  // unit 0's texture matrix survives the call
  set_projector_matrix(view);

  GLint value = 0;
  glGetIntegerv(GL_MATRIX_MODE, &value);
  EXPECT_EQ(value, GL_TEXTURE);
  glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
  EXPECT_EQ(value, GL_TEXTURE0);
  GLfloat unit0[16];
  glGetFloatv(GL_TEXTURE_MATRIX, unit0);
  EXPECT_EQ(unit0[12], 9.0f);

  // Hand-built bias * perspective * look-at.
  const std::vector<double> bias = {0.5, 0, 0, 0, 0, 0.5, 0, 0, 0, 0, 0.5, 0, 0.5, 0.5, 0.5, 1};
  const double f = 1.0 / std::tan(75.0 / 2 * std::numbers::pi / 180), n = 0.1, fa = 100;
  const std::vector<double> perspective = {
      f / 1.6, 0, 0, 0, 0, f, 0, 0, 0, 0, (fa + n) / (n - fa), -1, 0, 0, 2 * fa * n / (n - fa), 0};
  // Forward (-1,-2,-3)/|.|, side = forward x up, true up = side x forward.
  const double l = std::sqrt(14.0);
  const double fw[3] = {-1 / l, -2 / l, -3 / l};
  double side[3] = {fw[1] * 1 - fw[2] * 0, fw[2] * 0 - fw[0] * 1, 0};
  const double sl = std::hypot(side[0], side[1]);
  side[0] /= sl;
  side[1] /= sl;
  const double up[3] = {side[1] * fw[2] - side[2] * fw[1], side[2] * fw[0] - side[0] * fw[2],
                        side[0] * fw[1] - side[1] * fw[0]};
  const std::vector<double> rotation = {side[0], up[0], -fw[0], 0, side[1], up[1], -fw[1], 0,
                                        side[2], up[2], -fw[2], 0, 0,       0,     0,      1};
  const std::vector<double> translation = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -2, -3, 1};
  const std::vector<double> expected = multiply(multiply(bias, perspective), multiply(rotation, translation));

  glActiveTexture(GL_TEXTURE2);
  GLfloat m[16];
  glGetFloatv(GL_TEXTURE_MATRIX, m);
  for (int k = 0; k < 16; ++k) EXPECT_NEAR(m[k], expected[k], 1e-5) << k;
  // The eye's target maps to the middle of the projected texture.
  const double x = m[0] * 0 + m[12], y = m[13], w = m[15];
  EXPECT_NEAR(x / w, 0.5, 1e-5);
  EXPECT_NEAR(y / w, 0.5, 1e-5);

  glLoadIdentity();
  glActiveTexture(GL_TEXTURE0);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace
