#version 120
// Final composition to the window. The combined picture gets a 4x4 depth-aware average that
// removes the ambient occlusion's interleaved pattern without crossing edges; then the god rays
// are added, pulsing with the music (DSP, DSP2), and the picture is graded: a soft shoulder, cool
// shadows, a vignette, a dither and a faint film grain.

uniform sampler2D texture2d_1;           // combined colour
uniform sampler2D texture2d_velocities;  // noise, fixed dither
uniform sampler2D texture2d_random;      // noise, film grain
uniform sampler2D texture2d_2;           // scene depth
uniform sampler2D texture2d_s;           // god rays (half size)
uniform float Limit;
uniform float ttime;
uniform float fttime;
uniform float DSP;
uniform float DSP2;

const float near_plane = 0.1;
const float far_plane = 30.0;

float eye_depth(vec2 uv) {
  float d = texture2D(texture2d_2, uv).r;
  return near_plane * far_plane / (far_plane - d * (far_plane - near_plane));
}

// How much light each stretch of the show gets (running time, seconds): the dark tunnels after
// the opening and the finale are lifted, the bright stairs around the core held back.
float exposure(float t) {
  float e = 1.0;
  e += 0.5 * (1.0 - smoothstep(11.0, 14.0, t));                          // the opening corridor
  e += 0.35 * smoothstep(12.0, 15.0, t) * (1.0 - smoothstep(43.0, 46.0, t));  // the tunnel of tubes
  e -= 0.12 * smoothstep(101.0, 104.0, t) * (1.0 - smoothstep(166.0, 168.0, t));
  e -= 0.2 * smoothstep(110.0, 114.0, t) * (1.0 - smoothstep(161.0, 165.0, t));  // the bright core
  e += 0.4 * smoothstep(188.0, 191.0, t) + 0.4 * smoothstep(201.0, 204.0, t);    // the finale
  return e;
}

vec3 tone_curve(vec3 x) {
  x = max(x, 0.0);
  x = x * (x + 0.02) / (x + 0.06);
  vec3 over = max(x - 0.72, 0.0);
  return min(x, 0.72) + 0.28 * (1.0 - exp(-over / 0.28));
}

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec2 px = vec2(abs(dFdx(uv.x)), abs(dFdy(uv.y)));
  vec3 centre = texture2D(texture2d_1, uv).rgb;
  float z = eye_depth(uv);

  // The 4x4 pixels around this one as four bilinear taps on pixel corners, each weighted by how
  // close its depth lies to this pixel's surface: the occlusion's interleaved pattern averages out
  // without crossing depth edges. Limit (the tuning keys) widens the blur.
  float spread = 1.0 + clamp(Limit, 0.0, 4.0);
  float sharpness = 40.0 / max(z, 0.5);
  // A tap is compared with the depth this pixel's surface has there (its slope across the
  // screen), so a surface seen at a slant averages as evenly as one facing the eye.
  vec2 slope = vec2(dFdx(z), dFdy(z));
  vec3 sum = centre * 0.05;
  float total = 0.05;
  for (int i = 0; i < 4; ++i) {
    vec2 corner = vec2(i == 1 || i == 3 ? 1.0 : -1.0, i >= 2 ? 1.0 : -1.0) - 0.5;
    vec2 q = uv + corner * spread * px;
    float w = exp(-abs(eye_depth(q) - z - dot(corner * spread, slope)) * sharpness);
    sum += texture2D(texture2d_1, q).rgb * w;
    total += w;
  }
  vec3 colour = sum / total;

  // The kick: the music's low band stays near 0.03 between kicks and rises above 0.14 on them, so
  // a gate on it flashes the light on every kick and is dark in between; the god rays swell with
  // the (enveloped) band.
  float pulse = clamp(DSP, 0.0, 2.0);
  float kick = smoothstep(0.04, 0.14, DSP2);
  vec3 rays = texture2D(texture2d_s, uv).rgb;
  colour += rays * (0.55 + 0.6 * pulse + 0.3 * kick);
  colour *= 1.0 + 0.14 * kick;

  // Exposure by segment of the running time, then the tone curve: a toe that deepens the
  // shadows and a soft shoulder that rolls the lights off below white.
  colour = tone_curve(colour * exposure(fttime));
  // A cool tint in the shadows and a warm one in the lights.
  float luma = dot(colour, vec3(0.3, 0.59, 0.11));
  colour *= mix(vec3(0.92, 0.97, 1.08), vec3(1.04, 1.0, 0.95), smoothstep(0.1, 0.7, luma));

  vec2 v = uv - 0.5;
  colour *= 1.0 - 0.55 * dot(v, v) * 2.0;

  // Seasoning below one 8-bit step: a dither fixed to the screen (the velocity texture's noise)
  // keeps dark gradients from banding, and a film grain moves with time.
  float dither = texture2D(texture2d_velocities, uv).r - 0.5;
  float grain = texture2D(texture2d_random, gl_FragCoord.xy / 1024.0 + fract(vec2(ttime * 13.37, ttime * 7.31))).g - 0.5;
  colour += (dither + grain) * (1.0 / 255.0);

  // Out of the loading screen: the picture comes up over the first second.
  colour *= mix(0.35, 1.0, clamp(fttime + 0.5, 0.0, 1.0));
  gl_FragColor = vec4(clamp(colour, 0.0, 1.0), 1.0);
}
