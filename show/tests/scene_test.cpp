// The scene's elements through the recording seam: instance counts, time windows, uniforms in
// effect at each draw and the order in which random numbers are drawn.
#include "show/scene.h"

#include <gtest/gtest.h>

#include "engine/random.h"
#include "engine/render_context.h"
#include "runtime/demo_state.h"
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
    part.ttime = part.fttime = t;
    scene_recorder rec;
    draw_scene(part, context, projector, velocity, rec);
    return rec;
  }

  // How many numbers the last scene drew: where the generator now stands in the sequence that
  // starts at the scene's seed.
  static int draws_used() {
    const int next[3] = {random_next(), random_next(), random_next()};
    reference_generator ref{4234234};
    int seq[3] = {ref.next(), ref.next(), ref.next()};
    for (int n = 0; n < 20000; n++) {
      if (seq[0] == next[0] && seq[1] == next[1] && seq[2] == next[2]) return n;
      seq[0] = seq[1], seq[1] = seq[2], seq[2] = ref.next();
    }
    return -1;
  }
};

TEST_F(SceneTest, EscherStackGrowsFrom120AndEndsAt188_5) {
  const std::pair<double, size_t> cases[] = {{120.0, 0}, {121.0, 4},  {121.3, 6},
                                             {122.0, 8}, {188.49, 8}, {188.5, 0}};
  for (auto [t, count] : cases) {
    scene_recorder rec = draw_at(t);
    auto eschers = rec.meshes(part.mesh_escher);
    EXPECT_EQ(eschers.size(), count) << "t = " << t;
    for (const recorded_call* c : eschers) EXPECT_EQ(c->uniforms.at("Mode"), 1);
  }
}

TEST_F(SceneTest, TubeElementsKeepTheirTimeWindows) {
  struct expected {
    double t;
    size_t red, three_sided, swarm;
  };
  const expected cases[] = {{169.0, 0, 10, 0}, {169.01, 3, 10, 0}, {184.99, 3, 10, 0}, {185.0, 3, 0, 0},
                            {186.0, 0, 0, 0},  {190.0, 0, 0, 0},   {190.5, 0, 0, 3},   {191.0, 0, 0, 5}};
  for (const expected& e : cases) {
    scene_recorder rec = draw_at(e.t);
    EXPECT_EQ(rec.tubes(5).size(), e.red) << "t = " << e.t;
    EXPECT_EQ(rec.tubes(3, 100).size(), e.three_sided) << "t = " << e.t;
    EXPECT_EQ(rec.tubes(3, 50).size(), 10u);  // thin prisms, always
    EXPECT_EQ(rec.tubes(6).size(), 10u);
    // The swarm tubes are the 40-sided ones drawn with "NoBreak" 1; the five walls always draw.
    size_t swarm = 0;
    for (const recorded_call* c : rec.tubes(40)) swarm += c->uniforms.at("NoBreak") == 1;
    EXPECT_EQ(rec.tubes(40).size() - swarm, 5u) << "t = " << e.t;
    EXPECT_EQ(swarm, e.swarm) << "t = " << e.t;
    for (const recorded_call* c : rec.tubes(5)) EXPECT_EQ(c->radii, std::vector<float>(100, 1.0f));
  }
}

TEST_F(SceneTest, MeshElementsKeepTheirWindowsAndUniforms) {
  scene_recorder early = draw_at(12.9);
  auto opening = early.meshes(part.mesh_transf);
  ASSERT_EQ(opening.size(), 1u);
  EXPECT_EQ(opening[0]->uniforms.at("Holes"), 0);
  EXPECT_EQ(opening[0]->color, (std::array<float, 3>{0, 0, 0}));
  EXPECT_TRUE(draw_at(13.0).meshes(part.mesh_transf).empty());
  EXPECT_TRUE(draw_at(105.0).meshes(part.mesh_transf).empty());
  EXPECT_EQ(draw_at(105.01).meshes(part.mesh_transf).size(), 1u);  // the middle mesh

  scene_recorder late = draw_at(200.0);
  auto transf = late.meshes(part.mesh_transf);
  ASSERT_EQ(transf.size(), 2u);  // the late mesh (holes off), then the middle mesh (holes on)
  EXPECT_EQ(transf[0]->uniforms.at("Holes"), 0);
  EXPECT_EQ(transf[1]->uniforms.at("Holes"), 1);

  // Six yellow wings in the row with holes off, then four beams with holes on, Mode 1 then 2.
  scene_recorder rec = draw_at(50.0);
  auto wings = rec.meshes(part.mesh_wings);
  ASSERT_EQ(wings.size(), 10u);
  const std::array<float, 3> colors[10] = {{1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0},       {1, 1, 0},
                                           {1, 1, 0}, {0, 1, 1}, {1, 0, 0}, {0.5f, 1, 0.5f}, {0, 0.4f, 1}};
  for (int j = 0; j < 10; j++) {
    EXPECT_EQ(wings[j]->uniforms.at("Holes"), j < 6 ? 0 : 1);
    EXPECT_EQ(wings[j]->uniforms.at("Mode"), j < 6 ? 0 : j < 9 ? 1 : 2);
    EXPECT_EQ(wings[j]->color, colors[j]);
  }

  // The end block only clears the picture, and only after 1260.
  EXPECT_EQ(draw_at(264.0).count("clear"), 1);
  scene_recorder end = draw_at(1300.0);
  EXPECT_EQ(end.count("clear"), 2);
  EXPECT_TRUE(end.meshes(part.mesh_credits).empty());
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
  ASSERT_EQ(tube.centres.size(), 100u);
  EXPECT_NEAR(tube.centres[0].x, x, 1e-5);
  EXPECT_NEAR(tube.centres[57].z, z, 1e-5);
  // Negative radii reach the sweep unchanged.
  for (int k = 0; k < 100; k++) EXPECT_NEAR(tube.radii[k], radii[k], 1e-4);
  const recorded_call* turn = nullptr;
  for (size_t i = 0; i < first_tube; i++)
    if (rec.calls[i].op == "rotate") turn = &rec.calls[i];
  ASSERT_NE(turn, nullptr);
  EXPECT_EQ(turn->v, (std::vector<double>{rotation, 0, 1, 0}));

  // Per frame: walls 5 x 103, prisms 10 x 103, wing row 6, six- and three-sided tubes 10 x 103
  // each; at 175 also 8 eschers and the red tubes' 3 x 200; at 191 five swarm tubes.
  EXPECT_EQ(draws_used(), 515 + 1030 + 6 + 1030 + 1030);
  draw_at(175.0);
  EXPECT_EQ(draws_used(), 8 + 3611 + 600);
  draw_at(191.0);
  EXPECT_EQ(draws_used(), 3611 + 515);
}

TEST_F(SceneTest, EscherCountShiftsEveryLaterRandomPlacement) {
  auto first_wall_x = [&](double t) { return draw_at(t).tubes(40).at(0)->centres.at(0).x; };
  EXPECT_NE(first_wall_x(121.0), first_wall_x(121.3));  // 4 versus 6 escher instances
  EXPECT_EQ(first_wall_x(122.0), first_wall_x(130.0));  // 8 both times
}

TEST_F(SceneTest, FrameSetUpSetsTheMaterialProgramInOrder) {
  context.main_camera.eye = make_vec3(1, 2, 3);
  scene_recorder rec = draw_at(30.0);
  ASSERT_GE(rec.calls.size(), 5u);
  EXPECT_EQ(rec.calls[0].op, "perspective");
  EXPECT_EQ(rec.calls[0].v, (std::vector<double>{75.0, 320.0 / 180.0, 0.1, 30.0}));
  EXPECT_EQ(rec.calls[1].op, "clear");
  EXPECT_EQ(rec.calls[2].v, (std::vector<double>{1, 2, 3}));  // look-at from the main camera
  EXPECT_EQ(rec.calls[3].op, "reset_state");
  EXPECT_EQ(rec.calls[4].v, (std::vector<double>{1}));  // prog_material

  std::vector<std::string> names;
  size_t i = 5;
  for (; rec.calls[i].op != "push"; i++) names.push_back(rec.calls[i].name);
  const std::vector<std::string> expected = {
      "PosY",           "PP",      "texture2d_1", "texture2d_2",     "texture2d_3", "texture2d_blob",
      "texture2d_cube", "ttime",   "Holes",       "PositionY",       "Mode",        "ttime",
      "fttime",         "NoBreak", "DSP",         "ProjectionMatrix"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(rec.calls[11].v, (std::vector<double>{4, 200, 1}));  // cube map on unit 4, index 200
  EXPECT_EQ(rec.calls[i - 1].v[3], 100.0);                       // the projector's far plane
  EXPECT_EQ(rec.calls.back().op, "finish");
  EXPECT_EQ(rec.count("push"), rec.count("pop"));

  EXPECT_EQ(draw_at(30.0, false, true).calls[2].v, (std::vector<double>{0, 2, 0}));  // the projector
}

TEST_F(SceneTest, VelocityVariantClearsToGreyAndDrawsWithTheVelocityProgram) {
  scene_recorder plain = draw_at(150.0);
  scene_recorder rec = draw_at(150.0, true);
  EXPECT_EQ(plain.count("clear_color"), 0);
  ASSERT_EQ(rec.count("clear_color"), 1);
  EXPECT_EQ(rec.calls[1].v, (std::vector<double>{0.5, 0.5, 0.5, 0.5}));
  EXPECT_EQ(rec.calls[2].op, "clear");
  int draws = 0;
  for (size_t i = 0; i < rec.calls.size(); i++) {
    if (rec.calls[i].op != "mesh" && rec.calls[i].op != "tube") continue;
    EXPECT_EQ(rec.calls[i].program, part.prog_velocities);
    draws++;
  }
  EXPECT_EQ(draws, plain.count("mesh") + plain.count("tube"));
}

}  // namespace
