// The scene's elements through the recording seam: instance counts, time windows, uniforms in
// effect at each draw and the order in which random numbers are drawn.
#include "show/scene.h"

#include <gtest/gtest.h>

#include "engine/random.h"
#include "engine/render_context.h"
#include "shell/demo_state.h"
#include "show/tests/scene_recorder.h"
#include "show/timeline.h"

namespace {

// The generator's sequence from a seed, computed independently of the engine.
struct reference_generator {
  uint32_t state;
  int next() {
    state = state * 214013u + 2531011u;
    return (state >> 16) & 32767;
  }
  double unit() { return next() / 32767.0; }
};

struct SceneTest : ::testing::Test {
  part_start part;
  render_context context;

  void SetUp() override {
    demo.render_width = 320;
    demo.render_height = 180;
  }

  scene_recorder draw_at(double t, bool velocity = false, bool projector = false) {
    part.ttime = t;
    part.fttime = t;
    scene_recorder rec;
    draw_scene(part, context, projector, velocity, rec);
    return rec;
  }

  // Numbers the last scene drew from the generator: where the generator now stands in the
  // sequence that starts at the scene's seed.
  int draws_used() {
    int next[4];
    for (int& v : next) v = random_next();
    reference_generator ref{4234234};
    std::vector<int> seq;
    for (int i = 0; i < 20000; i++) seq.push_back(ref.next());
    for (size_t n = 0; n + 4 < seq.size(); n++) {
      if (seq[n] == next[0] && seq[n + 1] == next[1] && seq[n + 2] == next[2] && seq[n + 3] == next[3])
        return static_cast<int>(n);
    }
    return -1;
  }
};

TEST_F(SceneTest, EscherStackGrowsFrom120AndEndsAt188_5) {
  const std::pair<double, size_t> cases[] = {{119.0, 0}, {120.0, 0}, {121.0, 4},  {121.3, 6},
                                             {122.0, 8}, {150.0, 8}, {188.49, 8}, {188.5, 0}};
  for (auto [t, count] : cases) {
    scene_recorder rec = draw_at(t);
    auto eschers = rec.meshes(part.mesh_escher);
    EXPECT_EQ(eschers.size(), count) << "t = " << t;
    for (const recorded_call* c : eschers) {
      EXPECT_EQ(c->uniforms.at("Mode"), 1);
      EXPECT_FLOAT_EQ(c->color[0], 0.5f);
    }
  }
}

TEST_F(SceneTest, TubeElementsKeepTheirTimeWindows) {
  struct expected {
    double t;
    size_t red, three_sided, swarm;
  };
  const expected cases[] = {{50.0, 0, 10, 0}, {169.0, 0, 10, 0}, {169.01, 3, 10, 0}, {184.99, 3, 10, 0},
                            {185.0, 3, 0, 0}, {185.99, 3, 0, 0}, {186.0, 0, 0, 0},   {190.0, 0, 0, 0},
                            {190.5, 0, 0, 3}, {191.0, 0, 0, 5},  {250.0, 0, 0, 5}};
  for (const expected& e : cases) {
    scene_recorder rec = draw_at(e.t);
    EXPECT_EQ(rec.tubes(5).size(), e.red) << "t = " << e.t;
    size_t three = 0, prisms = 0;
    for (const recorded_call* c : rec.tubes(3)) (c->segments == 100 ? three : prisms)++;
    EXPECT_EQ(three, e.three_sided) << "t = " << e.t;
    EXPECT_EQ(prisms, 10u) << "t = " << e.t;
    EXPECT_EQ(rec.tubes(6).size(), 10u);
    size_t swarm = 0, walls = 0;
    for (const recorded_call* c : rec.tubes(40)) (c->uniforms.at("NoBreak") == 1 ? swarm : walls)++;
    EXPECT_EQ(walls, 5u) << "t = " << e.t;
    EXPECT_EQ(swarm, e.swarm) << "t = " << e.t;
    for (const recorded_call* c : rec.tubes(5)) {
      ASSERT_EQ(c->radii.size(), 100u);
      EXPECT_EQ(c->radii[0], 1.0f);
      EXPECT_EQ(c->radii[99], 1.0f);
    }
  }
}

TEST_F(SceneTest, MeshElementsKeepTheirWindowsAndUniforms) {
  scene_recorder early = draw_at(12.9);
  auto transf = early.meshes(part.mesh_transf);
  ASSERT_EQ(transf.size(), 1u);  // the opening mesh only
  EXPECT_EQ(transf[0]->uniforms.at("Holes"), 0);
  EXPECT_FLOAT_EQ(transf[0]->color[0], 0.0f);  // black after its transforms
  EXPECT_TRUE(draw_at(13.0).meshes(part.mesh_transf).empty());

  EXPECT_EQ(draw_at(105.0).meshes(part.mesh_transf).size(), 0u);
  scene_recorder after_105 = draw_at(105.01);
  auto middle = after_105.meshes(part.mesh_transf);
  ASSERT_EQ(middle.size(), 1u);
  EXPECT_EQ(middle[0]->uniforms.at("Holes"), 1);

  scene_recorder at_200 = draw_at(200.0);
  auto late = at_200.meshes(part.mesh_transf);
  ASSERT_EQ(late.size(), 2u);  // late mesh, then middle mesh
  EXPECT_EQ(late[0]->uniforms.at("Holes"), 0);
  EXPECT_FLOAT_EQ(late[0]->color[0], 0.3f);
  EXPECT_EQ(late[1]->uniforms.at("Holes"), 1);

  // Six wings in the row (holes off, yellow), then four beams (holes on, Mode 1 then 2).
  scene_recorder at_50 = draw_at(50.0);
  auto wings = at_50.meshes(part.mesh_wings);
  ASSERT_EQ(wings.size(), 10u);
  for (int j = 0; j < 6; j++) {
    EXPECT_EQ(wings[j]->uniforms.at("Holes"), 0);
    EXPECT_EQ(wings[j]->uniforms.at("Mode"), 0);
    EXPECT_FLOAT_EQ(wings[j]->color[2], 0.0f);
  }
  const float beam_colors[4][3] = {{0, 1, 1}, {1, 0, 0}, {0.5f, 1, 0.5f}, {0, 0.4f, 1}};
  for (int b = 0; b < 4; b++) {
    EXPECT_EQ(wings[6 + b]->uniforms.at("Holes"), 1);
    EXPECT_EQ(wings[6 + b]->uniforms.at("Mode"), b == 3 ? 2 : 1);
    for (int i = 0; i < 3; i++) EXPECT_FLOAT_EQ(wings[6 + b]->color[i], beam_colors[b][i]);
  }
  EXPECT_EQ(draw_at(264.0).meshes(part.mesh_wings).size(), 10u);
}

TEST_F(SceneTest, EndBlockClearsOnlyAfter1260AndDrawsNothing) {
  scene_recorder normal = draw_at(264.0);
  EXPECT_EQ(normal.count("clear"), 1);
  scene_recorder end = draw_at(1300.0);
  EXPECT_EQ(end.count("clear"), 2);
  EXPECT_TRUE(end.meshes(part.mesh_credits).empty());
  EXPECT_EQ(end.count("use_fixed_function"), 1);
}

TEST_F(SceneTest, RandomNumbersAreDrawnXZRadiiThenRotation) {
  scene_recorder rec = draw_at(120.0);  // no escher instance draws before the walls
  reference_generator ref{4234234};
  const double x = 2.4 * (ref.unit() - 0.5);
  const double z = 2.4 * (ref.unit() - 0.5);
  std::vector<double> radii;
  for (int k = 0; k < 100; k++) radii.push_back(-33.8 - 60 * ref.unit());
  const double rotation = 1000 * ref.unit();

  size_t first_tube = 0;
  while (rec.calls[first_tube].op != "tube") first_tube++;
  const recorded_call& tube = rec.calls[first_tube];
  EXPECT_EQ(tube.sides, 40);
  ASSERT_EQ(tube.centres.size(), 100u);
  EXPECT_NEAR(tube.centres[0].x, x, 1e-5);
  EXPECT_NEAR(tube.centres[57].z, z, 1e-5);
  // Radii are negative here and reach the sweep unchanged.
  for (int k = 0; k < 100; k++) EXPECT_NEAR(tube.radii[k], radii[k], 1e-4);
  const recorded_call* turn = nullptr;
  for (size_t i = 0; i < first_tube; i++)
    if (rec.calls[i].op == "rotate") turn = &rec.calls[i];
  ASSERT_NE(turn, nullptr);
  EXPECT_NEAR(turn->a, rotation, 1e-6);
  EXPECT_EQ(turn->c, 1.0);
}

TEST_F(SceneTest, EscherCountShiftsEveryLaterRandomPlacement) {
  auto first_wall_x = [&](double t) {
    scene_recorder rec = draw_at(t);
    return rec.tubes(40).at(0)->centres.at(0).x;
  };
  EXPECT_NE(first_wall_x(121.0), first_wall_x(121.3));  // 4 versus 6 escher instances
  EXPECT_EQ(first_wall_x(122.0), first_wall_x(130.0));  // 8 both times
}

TEST_F(SceneTest, NumberOfRandomDrawsPerFrame) {
  // walls 5 x 103, prisms 10 x 103, wing row 6, six-sided 10 x 103, three-sided 10 x 103.
  draw_at(50.0);
  EXPECT_EQ(draws_used(), 515 + 1030 + 6 + 1030 + 1030);
  draw_at(175.0);  // plus 8 eschers and the red tubes' 3 x 200
  EXPECT_EQ(draws_used(), 8 + 515 + 1030 + 6 + 1030 + 1030 + 600);
  draw_at(191.0);  // plus 5 swarm tubes
  EXPECT_EQ(draws_used(), 515 + 1030 + 515 + 6 + 1030 + 1030);
}

TEST_F(SceneTest, FrameSetUpSetsTheMaterialProgramInOrder) {
  scene_recorder rec = draw_at(30.0);
  ASSERT_GE(rec.calls.size(), 5u);
  EXPECT_EQ(rec.calls[0].op, "perspective");
  EXPECT_EQ(rec.calls[0].a, 75.0);
  EXPECT_NEAR(rec.calls[0].b, 320.0 / 180.0, 1e-12);
  EXPECT_EQ(rec.calls[0].c, 0.1);
  EXPECT_EQ(rec.calls[0].d, 30.0);
  EXPECT_EQ(rec.calls[1].op, "clear");
  EXPECT_EQ(rec.calls[2].op, "look_at");
  EXPECT_EQ(rec.calls[3].op, "reset_state");
  EXPECT_EQ(rec.calls[4].op, "use_program");
  EXPECT_EQ(rec.calls[4].a, part.prog_material);

  std::vector<std::string> names;
  size_t i = 5;
  for (; rec.calls[i].op != "push"; i++) names.push_back(rec.calls[i].name);
  const std::vector<std::string> expected = {
      "PosY",           "PP",      "texture2d_1", "texture2d_2",     "texture2d_3", "texture2d_blob",
      "texture2d_cube", "ttime",   "Holes",       "PositionY",       "Mode",        "ttime",
      "fttime",         "NoBreak", "DSP",         "ProjectionMatrix"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(rec.calls[i - 1].d, 100.0);  // the projector's far plane
  EXPECT_EQ(rec.calls[5 + 6].c, 1.0);    // the cube-map sampler
  EXPECT_EQ(rec.calls[5 + 6].b, 200.0);
  EXPECT_EQ(rec.calls.back().op, "finish");
  EXPECT_EQ(rec.count("push"), rec.count("pop"));
}

TEST_F(SceneTest, ProjectorCameraReplacesTheMainCamera) {
  context.camera.eye = make_vec3(1, 2, 3);
  EXPECT_EQ(draw_at(30.0).calls[2].a, 1.0);
  scene_recorder rec = draw_at(30.0, false, true);
  EXPECT_EQ(rec.calls[2].b, 2.0);  // the projector's eye (0, 2, 0)
}

TEST_F(SceneTest, VelocityVariantClearsToGreyAndDrawsWithTheVelocityProgram) {
  scene_recorder plain = draw_at(150.0);
  EXPECT_EQ(plain.count("clear_color"), 0);
  for (const recorded_call& c : plain.calls) {
    if (c.op == "mesh" || c.op == "tube") {
      EXPECT_EQ(c.program, part.prog_material);
    }
  }

  scene_recorder rec = draw_at(150.0, true);
  ASSERT_EQ(rec.count("clear_color"), 1);
  EXPECT_EQ(rec.calls[1].op, "clear_color");
  EXPECT_EQ(rec.calls[1].a, 0.5);
  EXPECT_EQ(rec.calls[1].d, 0.5);
  EXPECT_EQ(rec.calls[2].op, "clear");
  int draws = 0;
  for (const recorded_call& c : rec.calls) {
    if (c.op != "mesh" && c.op != "tube") continue;
    EXPECT_EQ(c.program, part.prog_velocities);
    draws++;
  }
  EXPECT_EQ(draws, static_cast<int>(plain.count("mesh") + plain.count("tube")));
}

}  // namespace
