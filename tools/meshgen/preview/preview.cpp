// meshpreview FILE.obj OUT.ppm EYE_X EYE_Y EYE_Z AT_X AT_Y AT_Z [UP_X UP_Y UP_Z]: renders a mesh
// with plain lighting to a 640x360 picture, for looking at generated meshes.
#include <GL/glew.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/gl_test_context.h"

int main(int argc, char** argv) {
  if (argc < 9) {
    std::fprintf(stderr, "usage: meshpreview FILE.obj OUT.ppm eye(3) at(3) [up(3)]\n");
    return 2;
  }
  std::vector<float> pos, nrm;
  std::vector<float> tri;  // position + normal per corner
  std::ifstream in(argv[1]);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream s(line);
    std::string k;
    s >> k;
    if (k == "v" || k == "vn") {
      float x, y, z;
      s >> x >> y >> z;
      auto& dst = k == "v" ? pos : nrm;
      dst.insert(dst.end(), {x, y, z});
    } else if (k == "f") {
      std::string c;
      std::vector<std::pair<int, int>> corners;
      while (s >> c) {
        int p = std::atoi(c.c_str());
        auto slash = c.rfind('/');
        int n = slash == std::string::npos ? 0 : std::atoi(c.c_str() + slash + 1);
        corners.push_back({p - 1, n - 1});
      }
      for (size_t i = 2; i < corners.size(); ++i) {
        for (auto [p, n] : {corners[0], corners[i - 1], corners[i]}) {
          tri.insert(tri.end(), {pos[3 * p], pos[3 * p + 1], pos[3 * p + 2]});
          if (n >= 0) {
            tri.insert(tri.end(), {nrm[3 * n], nrm[3 * n + 1], nrm[3 * n + 2]});
          } else {
            tri.insert(tri.end(), {0, 0, 0});
          }
        }
      }
    }
  }
  // Flat normals where the file has none.
  for (size_t t = 0; t + 18 <= tri.size(); t += 18) {
    float* a = &tri[t];
    if (a[3] != 0 || a[4] != 0 || a[5] != 0) continue;
    float* b = a + 6;
    float* c = a + 12;
    float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    for (int k = 0; k < 3; ++k) a[3 + k] = b[3 + k] = c[3 + k] = n[k];
  }
  const int w = 640, h = 360;
  test_gl::ensure_context(w, h);
  double e[9] = {0, 0, 0, 0, 0, 0, 0, 1, 0};
  for (int i = 0; i < 9 && 3 + i < argc; ++i) e[i] = std::atof(argv[3 + i]);
  glViewport(0, 0, w, h);
  glClearColor(0.1f, 0.1f, 0.12f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(75, double(w) / h, 0.1, 200);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(e[0], e[1], e[2], e[3], e[4], e[5], e[6], e[7], e[8]);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_NORMALIZE);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
  float dir[4] = {0.3f, 0.8f, 0.5f, 0};
  glLightfv(GL_LIGHT0, GL_POSITION, dir);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glVertexPointer(3, GL_FLOAT, 24, tri.data());
  glNormalPointer(GL_FLOAT, 24, tri.data() + 3);
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(tri.size() / 6));
  glFinish();
  std::vector<uint8_t> px = test_gl::read_rgba(0, 0, w, h);
  std::FILE* out = std::fopen(argv[2], "wb");
  std::fprintf(out, "P6 %d %d 255\n", w, h);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) std::fwrite(&px[4 * (y * w + x)], 1, 3, out);
  }
  std::fclose(out);
  return 0;
}
