#version 120
// A plain 3x3 Gaussian blur of texture2d_1, each tap placed between pixels so that bilinear
// filtering averages four pixels per tap.

uniform sampler2D texture2d_1;

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec2 px = vec2(abs(dFdx(uv.x)), abs(dFdy(uv.y)));
  vec3 sum = vec3(0.0);
  float total = 0.0;
  for (int y = -1; y <= 1; ++y) {
    for (int x = -1; x <= 1; ++x) {
      float w = (x == 0 ? 2.0 : 1.0) * (y == 0 ? 2.0 : 1.0);
      sum += texture2D(texture2d_1, uv + vec2(float(x), float(y)) * 1.5 * px).rgb * w;
      total += w;
    }
  }
  gl_FragColor = vec4(sum / total, 1.0);
}
