#version 120
// Bright parts of the combined picture, blurred, written at half size: the source of the glow
// and of the god rays. Self-lit surfaces (alpha) count fully, other surfaces only above a
// threshold.

uniform sampler2D texture2d_1;  // combined colour, alpha = emitted light

vec3 bright(vec2 uv) {
  vec4 c = texture2D(texture2d_1, uv);
  float luma = dot(c.rgb, vec3(0.3, 0.59, 0.11));
  float knee = smoothstep(0.6, 1.0, luma);
  return c.rgb * max(knee, c.a);
}

void main() {
  vec2 uv = gl_TexCoord[0].st;
  // One pixel here covers two of the source: steps are in source pixels.
  vec2 px = vec2(abs(dFdx(uv.x)), abs(dFdy(uv.y))) * 0.5;
  vec3 sum = bright(uv) * 0.2;
  float total = 0.2;
  for (int i = 0; i < 12; ++i) {
    float a = float(i) * 0.5236;
    float radius = (i - (i / 2) * 2 == 0) ? 2.5 : 5.5;
    float weight = radius < 3.0 ? 0.1 : 0.05;
    sum += bright(uv + vec2(cos(a), sin(a)) * radius * px) * weight;
    total += weight;
  }
  gl_FragColor = vec4(sum / total, 1.0);
}
