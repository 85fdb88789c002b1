#version 120
// Ambient occlusion from the scene's depth and facet normals, applied to the scene colour.
// For every pixel the eye-space point P is rebuilt from the depth buffer; eight taps on a spiral
// around it in screen space (a disc of fixed eye-space radius) are read back from the depth
// buffer as points Q. Each counts by how far it rises above P's tangent plane, weighted by angle
// (the cosine over the distance) and faded out towards the edge of the disc, so flat and convex
// surfaces get no occlusion and far-away surfaces (across a depth edge) none either.
// The spiral is turned by one of sixteen angles, interleaved over every 4x4 block of pixels and
// fixed to the screen: a still camera gives a still picture, and the final pass's 4x4 depth-aware
// average takes the pattern out. Self-lit surfaces (colour alpha) are spared.

uniform sampler2D texture2d_1;       // scene colour, alpha = emitted light
uniform sampler2D texture2d_2;       // scene depth
uniform sampler2D texture2d_3;       // facet normal in eye space (rgb)
uniform sampler2D texture2d_random;  // fixed random values: a small radius jitter per pattern cell
uniform float Limit;                 // per-frame random value: moves the pattern by whole cells
uniform float fttime;                // running time: the occlusion comes up with the picture

const float near_plane = 0.1;
const float far_plane = 30.0;
const float tan_half_fov = 0.767327;  // tan(75 degrees / 2), the scene's field of view
const int taps = 8;
const float turns = 5.0;            // turns of the spiral over the taps (coprime with the taps)
const float radius_near = 0.9;     // eye-space radius of the disc near the eye
const float radius_growth = 0.04;  // and how it widens with distance, so far walls keep some
const float intensity = 0.5;
const float bias = 0.004;  // of the eye distance: depth precision must not occlude

float eye_depth(float d) { return near_plane * far_plane / (far_plane - d * (far_plane - near_plane)); }

// Eye-space point of the pixel whose centre is nearest to uv (the depth texture filters linearly:
// between two surfaces it would invent a third).
vec3 eye_point(vec2 uv, vec2 size, vec2 to_eye) {
  vec2 centre = (floor(uv * size) + 0.5) / size;
  float z = eye_depth(texture2D(texture2d_2, centre).r);
  return vec3((centre * 2.0 - 1.0) * to_eye * z, -z);
}

// Index of a pixel in its 4x4 block, in the order of a dither matrix: neighbouring pixels get
// angles far apart, so every 2x2 and 4x4 average covers the circle evenly.
float cell_index(vec2 cell) {
  vec2 low = mod(cell, 2.0);
  vec2 high = floor(cell * 0.5);
  float a = low.x * 2.0 + low.y * 3.0 - 4.0 * low.x * low.y;  // 0 2 / 3 1 over the 2x2
  float b = high.x * 2.0 + high.y * 3.0 - 4.0 * high.x * high.y;
  return a * 4.0 + b;
}

void main() {
  vec2 uv = gl_TexCoord[0].st;
  // The pass covers the render target, so the texture-coordinate step per pixel gives its size
  // (taken before any branch, where derivatives are defined).
  vec2 size = 1.0 / vec2(abs(dFdx(uv.x)), abs(dFdy(uv.y)));
  vec4 colour = texture2D(texture2d_1, uv);
  float depth = texture2D(texture2d_2, uv).r;
  if (depth >= 0.99999) {
    // Nothing drawn here: the light haze at the end of the view, brightest at its centre (the
    // same haze the scene's far surfaces fade into), marked as light for the god rays.
    vec2 ndc = uv * 2.0 - 1.0;
    float r2 = dot(ndc * vec2(1.0, 1.3), ndc * vec2(1.0, 1.3));
    float glow = exp(-r2 * 2.2);
    gl_FragColor = vec4(vec3(0.52, 0.56, 0.62) * (0.1 + 1.4 * glow), glow * 0.7);
    return;
  }
  // Light-emitting surfaces (colour alpha) are spared the occlusion: where they are spared
  // entirely the rasteriser skips the taps.
  float spare = clamp(colour.a * 1.5, 0.0, 1.0);
  if (spare >= 1.0) {
    gl_FragColor = colour;
    return;
  }
  vec2 to_eye = vec2(tan_half_fov * size.x / size.y, tan_half_fov);
  float z = eye_depth(depth);
  vec3 p = vec3((uv * 2.0 - 1.0) * to_eye * z, -z);
  vec3 n = texture2D(texture2d_3, uv).rgb * 2.0 - 1.0;
  n = dot(n, n) > 0.01 ? normalize(n) : vec3(0.0, 0.0, 1.0);

  // Limit shifts the pattern by whole 4x4 blocks: the same pattern, so it never flickers.
  vec2 cell = mod(floor(gl_FragCoord.xy) + 4.0 * floor(Limit * 4.0), 4.0);
  float index = cell_index(cell);
  float jitter = texture2D(texture2d_random, (cell + 0.5) / 1024.0).r;
  float angle = (index + 0.5) * (6.2831853 / 16.0);

  float radius = radius_near + radius_growth * z;
  // Occluders count up to twice the disc's radius, fading out on the way: a surface far in front
  // of this one (across a depth edge) casts nothing.
  float reach2 = 4.0 * radius * radius;
  // The disc's radius in texture coordinates at this depth.
  float screen_radius = radius / (z * 2.0 * tan_half_fov);
  vec2 aspect = vec2(size.y / size.x, 1.0);
  // Each tap turns the last one's direction by turns / taps of a circle (a complex product
  // instead of a sine and cosine per tap).
  float step_angle = turns * 6.2831853 / float(taps);
  vec2 turn = vec2(cos(step_angle), sin(step_angle));
  vec2 dir = vec2(cos(angle), sin(angle));
  float sum = 0.0;
  for (int i = 0; i < taps; ++i) {
    float alpha = (float(i) + 0.5 + 0.5 * jitter) / float(taps);
    vec2 offset = dir * alpha * screen_radius * aspect;
    dir = vec2(dir.x * turn.x - dir.y * turn.y, dir.y * turn.x + dir.x * turn.y);
    vec2 q = uv + offset;
    vec3 v = eye_point(q, size, to_eye) - p;
    float vv = dot(v, v);
    // Taps off the screen see nothing (the texture would wrap round to the other side).
    vec2 inside = step(abs(q - 0.5), vec2(0.5));
    float fade = max(1.0 - vv / reach2, 0.0) * inside.x * inside.y;
    // The cosine of the angle above the tangent plane over the distance (in disc radii).
    sum += fade * fade * max(dot(v, n) - bias * z, 0.0) * radius / (vv + 0.01 * radius * radius);
  }
  float ao = max(0.0, 1.0 - sum * intensity * 2.0 / float(taps));
  ao = mix(1.0, ao * ao, clamp(fttime + 1.0, 0.0, 1.0));

  gl_FragColor = vec4(colour.rgb * mix(ao, 1.0, spare), colour.a);
}
