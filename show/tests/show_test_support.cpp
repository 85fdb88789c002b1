// Support for the show's GL tests and benchmarks: the window's GL defaults and stand-in data files.
#include "show/tests/show_test_support.h"

#include <GL/glew.h>

#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

void write_file(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

const char* const pass_through = R"(
uniform sampler2D texture2d_1;
void main() { gl_FragColor = texture2D(texture2d_1, gl_TexCoord[0].st); }
)";

}  // namespace

void window_gl_defaults() {
  glShadeModel(GL_SMOOTH);
  glClearColor(0, 0, 0, 0.5f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

void write_stand_in_assets(const fs::path& dir) {
  write_file(dir / "Materials/v_material1.cpp", R"(
varying vec3 normal;
void main() {
  gl_Position = ftransform();
  normal = gl_NormalMatrix * gl_Normal;
  gl_FrontColor = gl_Color;
}
)");
  write_file(dir / "Materials/f_material1.cpp", R"(
uniform float Holes;
uniform float DSP;
uniform int Mode;
varying vec3 normal;
void main() {
  vec3 n = normalize(normal);
  float light = 0.4 + 0.6 * abs(n.z) + 0.1 * Holes + 0.01 * DSP + 0.01 * float(Mode);
  gl_FragData[0] = vec4(gl_Color.rgb * light + 0.05, 1.0);
  gl_FragData[1] = vec4(n * 0.5 + 0.5, 1.0);
}
)");
  write_file(dir / "PostProcessing/f_combineSSAO.cpp", R"(
uniform sampler2D texture2d_1;
uniform sampler2D texture2d_2;
uniform float Limit;
void main() {
  vec4 c = texture2D(texture2d_1, gl_TexCoord[0].st);
  gl_FragColor = c * (0.9 + 0.1 * Limit) + 0.0 * texture2D(texture2d_2, gl_TexCoord[0].st);
}
)");
  write_file(dir / "PostProcessing/f_blurhighlights.cpp", R"(
uniform sampler2D texture2d_1;
void main() { gl_FragColor = max(texture2D(texture2d_1, gl_TexCoord[0].st) - 0.5, 0.0); }
)");
  write_file(dir / "PostProcessing/f_godrays.cpp", pass_through);
  write_file(dir / "PostProcessing/f_simpleblur.cpp", pass_through);
  write_file(dir / "PostProcessing/f_blurpass.cpp", R"(
uniform sampler2D texture2d_1;
uniform sampler2D texture2d_s;
uniform float DSP;
void main() {
  vec2 st = gl_TexCoord[0].st;
  gl_FragColor = texture2D(texture2d_1, st) + 0.5 * texture2D(texture2d_s, st) + 0.0 * DSP;
}
)");
  write_file(dir / "PostProcessing/v_velocities.cpp", "void main() { gl_Position = ftransform(); }\n");
  write_file(dir / "PostProcessing/f_velocities.cpp", "void main() { gl_FragData[0] = vec4(0.5); }\n");

  const std::string cube =
      "o box\n"
      "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
      "f 1 2 3 4\nf 5 8 7 6\nf 1 5 6 2\nf 2 6 7 3\nf 3 7 8 4\nf 4 8 5 1\n";
  for (const char* name : {"escher", "eschers", "transf3", "wings", "credits"})
    write_file(dir / "neomeshes" / (std::string(name) + ".obj"), cube);
  write_file(dir / "misc/piano3.txt", "4\n0 0 0\n0.1 0.2 0\n0.2 0.1 0\n0 0 0\n");
}
