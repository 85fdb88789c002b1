#version 120
// Ambient occlusion from the scene's depth and normals, applied to the scene colour.
// For every pixel the eye-space point is rebuilt from the depth buffer; points scattered in the
// hemisphere around its normal (a near ring for creases, a wide ring for large cavities) are
// tested against the depth buffer. The sample pattern is turned per pixel by the random texture
// and shifted every frame by Limit, so the remaining noise is fine-grained and changes per frame;
// the final pass smooths it. Self-lit surfaces (colour alpha) are spared.

uniform sampler2D texture2d_1;       // scene colour, alpha = emitted light
uniform sampler2D texture2d_2;       // scene depth
uniform sampler2D texture2d_3;       // eye-space normal (rgb)
uniform sampler2D texture2d_random;  // random rotations
uniform float Limit;                 // per-frame jitter, 0..1
uniform float fttime;                // running time, turns the pattern further

const float near_plane = 0.1;
const float far_plane = 30.0;
const float tan_half_fov = 0.767327;  // tan(75 degrees / 2), the scene's field of view

float eye_depth(vec2 uv) {
  float d = texture2D(texture2d_2, uv).r;
  return near_plane * far_plane / (far_plane - d * (far_plane - near_plane));
}

// One point of the hemisphere tested against the depth buffer: how much a surface in front of it
// (and within reach of p) occludes it. Points behind the eye or off the screen count as open;
// they are masked rather than skipped, which costs less than branching per pixel.
float occluder(vec3 s, float pz, float radius, vec2 to_uv) {
  float sz = max(-s.z, near_plane);
  vec2 uv = 0.5 + 0.5 * s.xy * to_uv / sz;
  vec2 inside = step(abs(uv - 0.5), vec2(0.5));
  float valid = step(near_plane, -s.z) * inside.x * inside.y;
  float scene = eye_depth(uv);
  float in_front = step(scene, sz - 0.03 * radius);
  float reach = smoothstep(0.0, 1.0, radius / max(abs(pz - scene), 1e-3));
  return valid * in_front * reach;
}

// Points on a spiral over the hemisphere, closer to the centre for the first ones, each turned by
// the golden angle from the last (rot holds the first point's cos and sin).
float occlusion(vec3 p, mat3 frame, float radius, vec2 to_uv, vec2 rot, const int count) {
  const vec2 golden = vec2(-0.7373667, 0.6754927);  // cos, sin of 2.39996
  float occluded = 0.0;
  for (int i = 0; i < count; ++i) {
    float t = (float(i) + 0.5) / float(count);
    vec3 dir = frame * vec3(rot * sqrt(t), sqrt(1.0 - t));
    occluded += occluder(p + dir * radius * mix(0.25, 1.0, t), -p.z, radius, to_uv);
    rot = vec2(rot.x * golden.x - rot.y * golden.y, rot.y * golden.x + rot.x * golden.y);
  }
  return occluded / float(count);
}

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec4 colour = texture2D(texture2d_1, uv);
  float depth = texture2D(texture2d_2, uv).r;
  if (depth >= 0.99999) {
    // Nothing drawn here: the light haze at the end of the view, brightest at its centre (the
    // same haze the scene's far surfaces fade into), marked as light for the god rays.
    vec2 ndc = uv * 2.0 - 1.0;
    float r2 = dot(ndc * vec2(1.0, 1.3), ndc * vec2(1.0, 1.3));
    float glow = exp(-r2 * 2.2);
    gl_FragColor = vec4(vec3(0.52, 0.56, 0.62) * (0.1 + 0.9 * glow) * 0.8, glow * 0.8);
    return;
  }
  // The pass covers the screen, so the texture-coordinate steps per pixel give the aspect ratio.
  float aspect = abs(dFdy(uv.y)) / max(abs(dFdx(uv.x)), 1e-6);
  float z = eye_depth(uv);
  vec3 p = vec3((uv * 2.0 - 1.0) * vec2(tan_half_fov * aspect, tan_half_fov) * z, -z);

  vec3 n = texture2D(texture2d_3, uv).rgb * 2.0 - 1.0;
  n = length(n) > 0.1 ? normalize(n) : vec3(0.0, 0.0, 1.0);
  vec3 r = texture2D(texture2d_random, gl_FragCoord.xy / 1024.0 + vec2(Limit, Limit * 0.618)).rgb * 2.0 - 1.0;
  vec3 tangent = r - n * dot(r, n);
  tangent = length(tangent) > 1e-3 ? normalize(tangent) : normalize(cross(n, vec3(0.577, 0.577, 0.577)));
  mat3 frame = mat3(tangent, cross(n, tangent), n);

  // The spiral also turns with the running time, so consecutive frames sample different points.
  // The wide ring starts 1.3 radians further round than the near one.
  float spin = r.z * 3.14159 + fract(fttime * 7.0) * 6.2832;
  vec2 rot = vec2(cos(spin), sin(spin));
  vec2 rot_wide = vec2(rot.x * 0.2674988 - rot.y * 0.9635582, rot.y * 0.2674988 + rot.x * 0.9635582);
  vec2 to_uv = vec2(1.0 / (tan_half_fov * aspect), 1.0 / tan_half_fov);
  float near_ao = occlusion(p, frame, 0.35 + 0.02 * z, to_uv, rot, 8);
  float wide_ao = occlusion(p, frame, 1.6 + 0.06 * z, to_uv, rot_wide, 5);
  float ao = (1.0 - near_ao) * (1.0 - wide_ao);
  ao = clamp(ao, 0.0, 1.0);
  ao *= ao;

  float spare = clamp(colour.a * 1.5, 0.0, 1.0);
  gl_FragColor = vec4(colour.rgb * mix(ao, 1.0, spare), colour.a);
}
