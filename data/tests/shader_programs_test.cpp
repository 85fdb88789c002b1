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

// A surface seen by the combine pass: per pixel its eye distance and eye-space facet normal.
struct surface {
  std::vector<float> eye_z;
  std::vector<float> normal;  // 3 per pixel
};

// Runs the combine pass over a 64x64 picture of white stone; "Limit" and "fttime" are the per-frame
// values the show hands it.
std::vector<float> ambient_occlusion(const surface& s, float limit = 0.3f, float fttime = 20.0f) {
  const int n = 64;
  auto built = build_program("", "PostProcessing//f_combineSSAO.cpp");
  std::vector<float> depth, normals;
  for (size_t i = 0; i < s.eye_z.size(); ++i) {
    depth.push_back(window_depth(s.eye_z[i]));
    for (int c = 0; c < 3; ++c) normals.push_back(s.normal[3 * i + c] * 0.5f + 0.5f);
    normals.push_back(s.eye_z[i] / 30.0f);
  }
  GLuint colour = shader_test::float_texture(n, n, fill(n, n, 1, 1, 1, 0));
  GLuint normal_tex = shader_test::float_texture(n, n, normals);
  GLuint random = shader_test::float_texture(n, n, noise(n, n));
  GLuint depth_tex = shader_test::depth_texture(n, n, depth);
  auto t = shader_test::make_target(n, n, 1);
  glUseProgram(built.program);
  bind(built.program, 0, "texture2d_1", colour);
  bind(built.program, 1, "texture2d_2", depth_tex);
  bind(built.program, 2, "texture2d_3", normal_tex);
  bind(built.program, 3, "texture2d_random", random);
  glUniform1f(glGetUniformLocation(built.program, "Limit"), limit);
  glUniform1f(glGetUniformLocation(built.program, "fttime"), fttime);
  glDisable(GL_DEPTH_TEST);
  shader_test::full_screen_quad();
  return shader_test::read_target(t, 0);
}

// Planes facing the camera at the given eye distances.
surface facing(const std::vector<float>& eye_z) {
  surface s{eye_z, {}};
  for (size_t i = 0; i < eye_z.size(); ++i) s.normal.insert(s.normal.end(), {0, 0, 1});
  return s;
}

// The eye-space ray through the centre of pixel (x, y) of the 64x64 picture (75 degrees, square).
void ray(int x, int y, float d[3]) {
  d[0] = ((x + 0.5f) / 32.0f - 1.0f) * 0.767327f;
  d[1] = ((y + 0.5f) / 32.0f - 1.0f) * 0.767327f;
  d[2] = -1.0f;
}

// Ray-traces a scene of planes (point on the plane's axis value, axis, normal sign) and spheres in
// front of a far wall at eye distance 25.
struct plane {
  int axis;        // 0: x = value, 1: y = value
  float value, facing;
};
surface trace(const std::vector<plane>& planes, float sphere_radius = 0, float sphere_z = 0) {
  surface s;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      float d[3];
      ray(x, y, d);
      float best = 25.0f, nx = 0, ny = 0, nz = 1;
      for (const plane& p : planes) {
        const float t = p.value / d[p.axis];
        if (t > 0.1f && t < best) {
          best = t;
          nx = p.axis == 0 ? p.facing : 0, ny = p.axis == 1 ? p.facing : 0, nz = 0;
        }
      }
      if (sphere_radius > 0) {
        // |t d - c|^2 = r^2 with c = (0, 0, -sphere_z).
        const float dd = d[0] * d[0] + d[1] * d[1] + 1.0f, dc = sphere_z;
        const float disc = dc * dc - dd * (sphere_z * sphere_z - sphere_radius * sphere_radius);
        if (disc > 0) {
          const float t = (dc - std::sqrt(disc)) / dd;
          if (t > 0.1f && t < best) {
            best = t;
            nx = t * d[0] / sphere_radius, ny = t * d[1] / sphere_radius, nz = (sphere_z - t) / sphere_radius;
          }
        }
      }
      s.eye_z.push_back(best);
      s.normal.insert(s.normal.end(), {nx, ny, nz});
    }
  }
  return s;
}

TEST_F(ShaderPrograms, AmbientOcclusionDarkensCreasesButNotOpenSurfaces) {
  const int n = 64;
  auto flat = ambient_occlusion(facing(std::vector<float>(n * n, 3.0f)));
  float darkest = 1;
  for (size_t i = 0; i < flat.size(); i += 4) darkest = std::min(darkest, flat[i]);
  EXPECT_GT(darkest, 0.9f) << "a flat wall facing the camera has nothing to occlude it";

  // A step: the right half stands one unit closer; the far floor next to it lies in its shadow.
  std::vector<float> step(n * n);
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) step[y * n + x] = x < 32 ? 3.0f : 2.0f;
  }
  auto out = ambient_occlusion(facing(step));
  float crease = 0, open = 0;
  for (int y = 20; y < 44; ++y) {
    crease += at(out, n, 29, y, 0);
    open += at(out, n, 3, y, 0);
  }
  EXPECT_LT(crease / 24, open / 24 - 0.15f) << "crease " << crease / 24 << " open " << open / 24;
  EXPECT_GT(at(out, n, 50, 32, 0), 0.9f) << "the near surface is not occluded by what lies behind it";
}

TEST_F(ShaderPrograms, AmbientOcclusionLeavesConvexAndGrazingSurfacesClean) {
  const int n = 64;
  // A floor half a unit below the eye, seen at a grazing angle up to the far wall: a face of a box
  // whose interpolated normal would tilt the hemisphere into it.
  auto floor = ambient_occlusion(trace({{1, -0.5f, 1}}));
  const surface floor_surface = trace({{1, -0.5f, 1}});
  float darkest = 1;
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x)
      if (floor_surface.eye_z[y * n + x] < 12.0f) darkest = std::min(darkest, at(floor, n, x, y, 0));
  EXPECT_GT(darkest, 0.9f) << "a flat floor seen at a grazing angle occludes itself";

  // A sphere in front of the far wall: convex everywhere, and the wall far behind its silhouette
  // gets no dark halo.
  const surface ball = trace({}, 1.0f, 4.0f);
  auto out = ambient_occlusion(ball);
  float sphere_darkest = 1, halo_darkest = 1;
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      const float z = ball.eye_z[y * n + x];
      const float dx = x - 31.5f, dy = y - 31.5f, r = std::sqrt(dx * dx + dy * dy);
      if (z < 5.0f && r < 9.0f) sphere_darkest = std::min(sphere_darkest, at(out, n, x, y, 0));
      if (z > 20.0f && r < 16.0f) halo_darkest = std::min(halo_darkest, at(out, n, x, y, 0));
    }
  }
  EXPECT_GT(sphere_darkest, 0.9f) << "a sphere occludes itself";
  EXPECT_GT(halo_darkest, 0.95f) << "the wall far behind the sphere is darkened around its silhouette";
}

TEST_F(ShaderPrograms, AmbientOcclusionDarkensAConcaveCornerAndStaysStillBetweenFrames) {
  const int n = 64;
  // A floor half a unit below the eye meets a wall 0.6 to the right of it.
  const surface corner = trace({{1, -0.5f, 1}, {0, 0.6f, -1}});
  auto out = ambient_occlusion(corner, 0.31f, 20.0f);
  // Floor pixels at eye distance 2 to 4: close to the wall's foot against the far left of the floor.
  float near_sum = 0, far_sum = 0;
  int near_count = 0, far_count = 0;
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      const float z = corner.eye_z[y * n + x];
      if (corner.normal[3 * (y * n + x) + 1] < 0.5f || z < 2.0f || z > 4.0f) continue;
      float d[3];
      ray(x, y, d);
      const float side = d[0] * z;  // eye-space x of the floor point
      if (side > 0.45f) near_sum += at(out, n, x, y, 0), ++near_count;
      if (side < -0.6f) far_sum += at(out, n, x, y, 0), ++far_count;
    }
  }
  ASSERT_GT(near_count, 5);
  ASSERT_GT(far_count, 5);
  EXPECT_LT(near_sum / near_count, far_sum / far_count - 0.15f)
      << "foot of the wall " << near_sum / near_count << ", open floor " << far_sum / far_count;

  // The next frame of a still camera: another random Limit, the running time 1/60 s on.
  auto next = ambient_occlusion(corner, 0.77f, 20.0f + 1.0f / 60.0f);
  float largest = 0;
  for (size_t i = 0; i < out.size(); i += 4) largest = std::max(largest, std::fabs(out[i] - next[i]));
  EXPECT_LE(largest, 1.5f / 255.0f) << "the occlusion changes between two frames of a still scene";
}

// The material's own second output feeds the occlusion: a six-sided prism drawn with smooth
// (radial) vertex normals, as the show's tubes are, has flat faces that must stay clean. With the
// interpolated normal the hemisphere tilts into the face near its edges and the face occludes
// itself.
TEST_F(ShaderPrograms, AmbientOcclusionOfTheMaterialsOutputLeavesFlatFacesClean) {
  const int n = 64;
  auto material = build_program("Materials//v_material1.cpp", "Materials//f_material1.cpp");
  GLuint flat_normals = shader_test::float_texture(4, 4, fill(4, 4, 0.5f, 0.5f, 1.0f, 1));
  GLuint blob = shader_test::float_texture(4, 4, fill(4, 4, 0, 0, 0, 1));
  auto scene = shader_test::make_target(n, n, 2);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glUseProgram(material.program);
  bind(material.program, 0, "texture2d_1", flat_normals);
  bind(material.program, 3, "texture2d_blob", blob);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(-0.0767327, 0.0767327, -0.0767327, 0.0767327, 0.1, 30);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0, 0, -3.5f);
  glRotatef(20, 1, 0, 0);  // seen a little from above, so the faces meet the view at many angles
  glColor3f(0.5f, 0.5f, 0.5f);
  glBegin(GL_QUADS);
  for (int side = 0; side < 6; ++side) {
    const float a0 = side * 3.14159265f / 3.0f, a1 = (side + 1) * 3.14159265f / 3.0f;
    const float r = 1.2f;
    glNormal3f(std::cos(a0), 0, std::sin(a0));
    glVertex3f(r * std::cos(a0), -12, r * std::sin(a0));
    glNormal3f(std::cos(a1), 0, std::sin(a1));
    glVertex3f(r * std::cos(a1), -12, r * std::sin(a1));
    glNormal3f(std::cos(a1), 0, std::sin(a1));
    glVertex3f(r * std::cos(a1), 12, r * std::sin(a1));
    glNormal3f(std::cos(a0), 0, std::sin(a0));
    glVertex3f(r * std::cos(a0), 12, r * std::sin(a0));
  }
  glEnd();
  glDisable(GL_DEPTH_TEST);
  std::vector<float> depth(n * n);
  glReadPixels(0, 0, n, n, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
  const std::vector<float> normals = shader_test::read_target(scene, 1);

  auto combine = build_program("", "PostProcessing//f_combineSSAO.cpp");
  GLuint colour = shader_test::float_texture(n, n, fill(n, n, 1, 1, 1, 0));
  GLuint normal_tex = shader_test::float_texture(n, n, normals);
  GLuint random = shader_test::float_texture(n, n, noise(n, n));
  GLuint depth_tex = shader_test::depth_texture(n, n, depth);
  auto t = shader_test::make_target(n, n, 1);
  glUseProgram(combine.program);
  bind(combine.program, 0, "texture2d_1", colour);
  bind(combine.program, 1, "texture2d_2", depth_tex);
  bind(combine.program, 2, "texture2d_3", normal_tex);
  bind(combine.program, 3, "texture2d_random", random);
  glUniform1f(glGetUniformLocation(combine.program, "Limit"), 0.5f);
  glUniform1f(glGetUniformLocation(combine.program, "fttime"), 20.0f);
  shader_test::full_screen_quad();
  auto out = shader_test::read_target(t, 0);
  int covered = 0, where = 0;
  float darkest = 1;
  for (int i = 0; i < n * n; ++i) {
    if (depth[i] >= 0.9999f) continue;
    ++covered;
    if (out[4 * i] < darkest) darkest = out[4 * i], where = i;
  }
  ASSERT_GT(covered, n * n / 4) << "the prism is in view";
  EXPECT_GT(darkest, 0.9f) << "a flat face of the prism occludes itself at pixel (" << where % n << ", "
                           << where / n << ")";
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
  // The grade (exposure, tone curve, vignette) moves the grey; the blur must not: the lit side's
  // edge keeps the value of its inside, and the graded grey stays a mid-to-light grey.
  float lit_edge = 0, lit_inside = 0, dark_edge = 0;
  for (int y = 24; y < 40; ++y) {
    lit_edge += at(out, n, 33, y, 1) / 16;
    lit_inside += at(out, n, 40, y, 1) / 16;
    dark_edge += at(out, n, 30, y, 1) / 16;
  }
  EXPECT_NEAR(lit_edge, lit_inside, 0.03f);
  EXPECT_GT(lit_inside, 0.45f);
  EXPECT_LT(lit_inside, 0.85f);
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
