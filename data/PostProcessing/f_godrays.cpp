#version 120
// God rays: every pixel gathers the highlights on the way to the light source in the middle of
// the screen (the vanishing point of the camera's travel), each step weaker than the last, so
// bright openings stream light towards the viewer. A per-pixel offset of the start hides steps.

uniform sampler2D texture2d_1;  // half-size highlights

// 30 steps over the same path as 64 steps of decay 0.97 and weight 0.06: decay and weight are
// scaled to the longer step, so the rays keep their length and brightness (the per-pixel start
// offset hides the longer steps).
const int samples = 30;
const float density = 0.92;
const float decay = 0.9371;
const float weight = 0.128;
const float exposure = 0.9;

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec2 light = vec2(0.5, 0.5);
  vec2 step_uv = (uv - light) * density / float(samples);
  float dither = fract(sin(dot(gl_FragCoord.xy, vec2(12.9898, 78.233))) * 43758.5453);
  vec2 p = uv - step_uv * dither;
  vec3 sum = vec3(0.0);
  float strength = 1.0;
  for (int i = 0; i < samples; ++i) {
    p -= step_uv;
    sum += texture2D(texture2d_1, p).rgb * strength * weight;
    strength *= decay;
  }
  vec3 glow = texture2D(texture2d_1, uv).rgb;
  gl_FragColor = vec4(sum * exposure + glow * 0.6, 1.0);
}
