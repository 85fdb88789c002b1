// The status line's element list against what the scene drawing actually emits at each time.
#include "show/segments.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "engine/render_context.h"
#include "runtime/demo_state.h"
#include "show/scene.h"
#include "show/tests/scene_recorder.h"

namespace {

std::set<std::string> names_of(const std::string& line) {
  std::istringstream in(line);
  std::set<std::string> names;
  for (std::string name; in >> name;) names.insert(name);
  return names;
}

TEST(SegmentsTest, ListedElementsAreTheOnesTheSceneDraws) {
  demo.render_width = 320;
  demo.render_height = 180;
  part_start part;
  render_context context;
  for (double t = -1.75; t < 262.0; t += 0.5) {
    part.ttime = part.fttime = t;
    scene_recorder rec;
    draw_scene(part, context, false, false, rec);
    const std::set<std::string> listed = names_of(scene_elements_at(t));
    size_t swarm = 0;
    for (const recorded_call* c : rec.tubes(40)) swarm += c->uniforms.at("NoBreak") == 1;
    EXPECT_EQ(listed.count("escher") == 1, !rec.meshes(part.mesh_escher).empty()) << "t = " << t;
    EXPECT_EQ(listed.count("red") == 1, !rec.tubes(5).empty()) << "t = " << t;
    EXPECT_EQ(listed.count("tri") == 1, !rec.tubes(3, 100).empty()) << "t = " << t;
    EXPECT_EQ(listed.count("swarm") == 1, swarm > 0) << "t = " << t;
    EXPECT_EQ(listed.count("hex") == 1, !rec.tubes(6).empty()) << "t = " << t;
    const size_t transf = listed.count("opening") + listed.count("late") + listed.count("middle");
    EXPECT_EQ(transf, rec.meshes(part.mesh_transf).size()) << "t = " << t;
    EXPECT_EQ(listed.count("walls"), 1u);
  }
  EXPECT_EQ(scene_elements_at(0.0), "walls prisms opening wingrow beams hex tri");
}

}  // namespace
