#version 120
// Scene material, fragment stage. Output 0: colour, with the amount of self-emitted light in
// alpha (the ambient-occlusion pass spares it, the highlight pass picks it up). Output 1: the
// eye-space facet normal in rgb and the eye distance / 30 in alpha, for the ambient occlusion.
//
// Mode 0: lit stone. Mode 1: the surface emits light (glowing joints and a light wave running
// along the object). Mode 2: a beam of light, brightest where it faces the viewer, with streaks
// running along its length.
// Holes 1 cuts openings that open and close over time into low-saturation surfaces; NoBreak 1
// makes them clean rectangular slots, NoBreak 0 ragged breaches with glowing rims.

uniform sampler2D texture2d_1;     // surface normal map (from the noise picture)
uniform sampler2D texture2d_blob;  // soft light spot, projected from the projector
uniform float ttime;
uniform float fttime;
uniform int Mode;
uniform float Holes;
uniform float NoBreak;
uniform float PosY;
uniform float PP;
uniform float PositionY;
uniform float DSP;

varying vec3 eye_pos;
varying vec3 eye_normal;
varying vec3 obj_pos;
varying vec3 obj_normal;
varying vec4 projected;
varying vec2 screen;

// The light at the end of the view (see the lighting in main).
const float far_light_distance = 14.0;
const vec3 far_light_colour = vec3(0.95, 0.97, 1.0);

// A cell's random number from arithmetic alone: sin-based hashes cost several times as much on a
// software rasteriser.
float hash(vec2 p) {
  vec3 q = fract(vec3(p.xyx) * 0.1031);
  q += dot(q, q.yzx + 33.33);
  return fract((q.x + q.y) * q.z);
}

// Bands of random brightness along u, one per unit, blended smoothly: -0.5..0.5, faded towards 0
// where a band would be narrower than about three pixels.
float striation(float u) {
  float cell = floor(u);
  float value = mix(hash(vec2(cell, 3.0)), hash(vec2(cell + 1.0, 3.0)), smoothstep(0.0, 1.0, u - cell)) - 0.5;
  return value * (1.0 - smoothstep(0.15, 0.4, fwidth(u)));
}

// sin(x) for the decorative waves and streaks: a parabola over one period, refined once
// (error below 0.001), at a fraction of the built-in sine's cost.
float wave_sin(float x) {
  float t = fract(x * 0.15915494 + 0.5) * 2.0 - 1.0;
  float y = 4.0 * t * (1.0 - abs(t));
  return 0.225 * (y * abs(y) - y) + y;
}

// exp(-x) for x >= 0 to within 0.03, as a rational curve: cheaper than an exponential on a software
// rasteriser, for the falloffs of light, haze and fog.
float falloff(float x) { return 1.0 / (1.0 + x * (1.0 + x * (0.5 + x * 0.1667))); }

// The light haze at the end of the view: brightest at the vanishing point in the middle of the
// screen. Far surfaces dissolve into it, so structures stand out as silhouettes against light.
vec3 haze(vec2 ndc) {
  float r2 = dot(ndc * vec2(1.0, 1.3), ndc * vec2(1.0, 1.3));
  return vec3(0.52, 0.56, 0.62) * (0.1 + 0.9 * falloff(r2 * 2.2));
}

// Keeps colours below 1 without clipping: linear up to 0.7, then a soft shoulder (a rational
// curve: three divisions cost less than three exponentials on a software rasteriser).
vec3 shoulder(vec3 c) {
  vec3 over = max(c - 0.7, 0.0);
  return min(c, 0.7) + 0.3 * over / (over + 0.3);
}

void main() {
  vec3 albedo = gl_Color.rgb;
  float top = max(albedo.r, max(albedo.g, albedo.b));
  float saturation = top > 0.001 ? (top - min(albedo.r, min(albedo.g, albedo.b))) / top : 0.0;
  // The scene's colours span black to white; as stone they are pulled into a narrow range (black
  // becomes dark basalt). Weakly coloured stone loses most of its tint, strong colours stay as
  // accents, a little darker.
  vec3 hue = top > 0.001 ? albedo / top : vec3(1.0);
  float accent = smoothstep(0.45, 0.8, saturation);
  float tone = (0.13 + 0.6 * sqrt(top)) * mix(1.0, 0.8, accent);
  vec3 base = mix(vec3(dot(hue, vec3(0.3, 0.59, 0.11))), hue, max(accent, 0.25)) * tone;

  // Screen derivatives, taken before the openings may discard the fragment (they are not defined
  // after it on every driver).
  vec3 facet = cross(dFdx(eye_pos), dFdy(eye_pos));
  vec3 obj_width = fwidth(obj_pos);

  // Planar coordinates on the object's dominant face direction.
  vec3 on = length(obj_normal) > 1e-6 ? abs(normalize(obj_normal)) : vec3(0.0, 1.0, 0.0);
  vec2 plane = on.x > on.y && on.x > on.z ? obj_pos.yz : (on.y > on.z ? obj_pos.xz : obj_pos.xy);

  // The normal map projected along the three object axes: stone detail below, and the ragged
  // edges of the openings from the projection on the dominant face.
  // Coloured accents are mostly seen up close: their detail is six times finer.
  // A projection is read only where it weighs in (the weights below): on faces along the object's
  // axes the rasteriser skips the other two reads. A projection not read holds the picture's mean.
  float detail = 0.25 + 1.25 * accent;
  vec3 w = on * on;
  w *= w;
  w /= (w.x + w.y + w.z);
  vec3 tx = vec3(-0.06), ty = vec3(-0.06), tz = vec3(-0.06);
  if (w.x > 0.01) tx = texture2D(texture2d_1, obj_pos.yz * detail).rgb * 2.0 - 1.0;
  if (w.y > 0.01) ty = texture2D(texture2d_1, obj_pos.xz * detail).rgb * 2.0 - 1.0;
  if (w.z > 0.01) tz = texture2D(texture2d_1, obj_pos.xy * detail).rgb * 2.0 - 1.0;

  // Openings: a grid of window cells, some of which open and close over time.
  float rim = 0.0;
  if (Holes > 0.5 && Mode != 2 && saturation < 0.6) {
    vec2 cell = vec2(1.3, 2.1);
    vec2 id = floor(plane / cell);
    vec2 f = fract(plane / cell) - 0.5;
    float h = hash(id);
    float wave = wave_sin(ttime * 0.9 + h * 6.2832 + id.y * 0.35 + PositionY * 0.05 + PP * 1.5);
    float open = step(0.55, h) * smoothstep(-0.2, 0.9, wave);
    vec2 size = vec2(0.34, 0.4) * open + 1e-4;
    float d;
    if (NoBreak > 0.5) {
      d = max(abs(f.x) / size.x, abs(f.y) / size.y);
    } else {
      float rough = 0.5 * (on.x > on.y && on.x > on.z ? tx.g : (on.y > on.z ? ty.g : tz.g));
      d = length(f / size) + rough * 0.9;
    }
    if (open > 0.02 && d < 1.0) discard;
    rim = open * (1.0 - smoothstep(0.0, 0.18, d - 1.0));
  }

  vec3 view = length(eye_pos) > 1e-5 ? normalize(-eye_pos) : vec3(0.0, 0.0, 1.0);
  // The true facet normal, from how the surface moves across the screen. Where the given normal
  // contradicts it (a swept tube's collapsed end ring is a flat disc whose normals still point
  // sideways) the facet normal takes over; elsewhere the given, smooth normal is kept.
  facet = length(facet) > 1e-12 ? normalize(facet) : view;
  if (dot(facet, view) < 0.0) facet = -facet;
  vec3 n = length(eye_normal) > 1e-6 ? normalize(eye_normal) : facet;
  if (dot(n, view) < 0.0) n = -n;  // tubes and inside-out walls are seen from both sides
  // Near the edges of a tube with few sides the smooth normal turns far from the facet's: there
  // the edge catches the light as a bevel would, so prisms read as solid objects.
  float bevel = 1.0 - smoothstep(0.5, 0.54, dot(n, facet));
  n = normalize(mix(n, facet, 1.0 - smoothstep(0.05, 0.35, abs(dot(n, facet)))));

  // Stone detail.
  // The detail fades out where its picture's texels come smaller than a pixel: the picture has
  // no mipmaps, and finer detail would only shimmer from frame to frame.
  float texels = length(obj_width) * detail * 512.0;
  float sharp = 1.0 - smoothstep(2.5, 8.0, texels);
  vec3 bump = (vec3(0.0, tx.x, tx.y) * w.x + vec3(ty.x, 0.0, ty.y) * w.y + vec3(tz.x, tz.y, 0.0) * w.z) * sharp;
  // About 1 on flat stone, higher in the joints (1.06 over the whole picture).
  float joint = mix(1.06, 1.0 - (tx.z * w.x + ty.z * w.y + tz.z * w.z), sharp);
  // The stone's own colour varies from block to block and within it; accents vary more, as they
  // are seen from close by.
  float mottle = sharp * (tx.g * w.x + ty.g * w.y + tz.g * w.z + 0.06);  // about -0.13..0.13
  base *= 1.0 + 0.3 * mottle;
  vec3 nb = n;
  if (sharp > 0.0) {  // far away the detail has faded out, and the rasteriser skips this
    nb = normalize(n + gl_NormalMatrix * bump * 0.8);
    if (dot(nb, view) < 0.05) nb = n;
  }
  float groove = 0.0;
  if (accent > 0.0) {  // most surfaces are stone: the rasteriser skips this for them
    // Accents are striated along their length like cut crystal: bands of varying brightness
    // across each face in two sizes, each fading out where it would come closer than a few
    // pixels; and they are ribbed across their length, with grooves every third of a unit.
    base *= 1.0 + accent * (striation((obj_pos.x + obj_pos.z) * 14.0) * 0.5 +
                            striation((obj_pos.x - obj_pos.z) * 70.0) * 0.6);
    float rib_at = obj_pos.y * 3.0;
    float rib_width = fwidth(rib_at);
    float rib_d = abs(fract(rib_at + 0.5) - 0.5);
    groove = (1.0 - smoothstep(0.02, 0.05 + rib_width, rib_d)) * (1.0 - smoothstep(0.12, 0.3, rib_width)) * accent;
  }

  // Light. The main light sits at the end of the view, on the view axis far ahead, where the haze
  // glows: surfaces brighten towards it and catch its sheen at grazing angles, so every view has
  // its light breaking through and real darks near the eye. A key light from above the viewer
  // (swinging slightly with the piano line) models the shapes, a weak lamp at the eye keeps the
  // nearest surfaces readable, and the projector adds its light spot.
  float dist = length(eye_pos);
  vec3 to_far = vec3(0.0, 0.0, -far_light_distance) - eye_pos;
  float far_dist = length(to_far);
  vec3 far_dir = to_far / max(far_dist, 1e-3);
  float far_reach = falloff(far_dist * 0.12);
  float far_wrap = dot(nb, far_dir) * 0.5 + 0.5;
  far_wrap *= far_wrap;
  vec3 key_dir = normalize(vec3(-0.35 + 0.15 * PosY, 0.8, 0.45));
  float key = max(dot(nb, key_dir), 0.0);
  // The lamp is a spot along the view axis: whatever stands right in front of the eye gets a pool
  // of light in the middle of the picture.
  float on_axis = -eye_pos.z / max(dist, 1e-4);
  float lamp = max(dot(nb, view), 0.0) * (0.6 + 0.5 * smoothstep(0.8, 0.97, on_axis)) / (1.0 + dist * dist * 0.006);
  // Powers by repeated squaring: cheaper than pow on a software rasteriser. Accents are glossy.
  float s1 = max(dot(reflect(-key_dir, nb), view), 0.0);
  float s2 = s1 * s1;
  float s4 = s2 * s2;
  float s8 = s4 * s4;
  float shine = s8 * s8 * s8 * (0.25 + 0.35 * accent);
  float f1 = max(dot(reflect(-far_dir, nb), view), 0.0);
  float f2 = f1 * f1;
  float f4 = f2 * f2;
  // Accents are glossy: they mirror the bright end of the view whatever their distance to it, so
  // every large face carries a highlight that moves across it.
  float sheen = f4 * f4 * mix(far_reach * 0.6, 0.7, accent);
  float rim_view = 1.0 - max(dot(n, view), 0.0);
  rim_view *= rim_view;
  float fresnel = rim_view * rim_view;
  vec3 far_haze = haze(screen);
  // The spot only lights what lies in front of the projector (most of the show lies behind it,
  // and the rasteriser skips the read there).
  float spot = 0.0;
  if (projected.w > 0.05) spot = texture2D(texture2d_blob, projected.xy / projected.w).r;
  vec3 light = vec3(0.06, 0.065, 0.08) * (1.0 - 0.5 * accent) + far_wrap * far_reach * far_light_colour * 0.9 +
               key * vec3(0.8, 0.77, 0.72) * (0.85 - 0.2 * accent) + lamp * 0.45 * (1.0 - 0.4 * accent) +
               spot * vec3(0.35, 0.4, 0.5);
  vec3 colour = base * light * (1.0 - 0.35 * joint) * (1.0 - 0.7 * groove) + (shine + sheen) * mix(far_light_colour, albedo, 0.5 * accent) +
                fresnel * 0.3 * (1.0 - 0.6 * accent) * far_haze + (base + 0.1) * bevel * (0.2 + far_reach);
  float glow = 0.0;

  float pulse = clamp(DSP, 0.0, 2.0);
  if (Mode == 1) {
    // Emitting surfaces: joints and a wave of light that runs along the object's y axis.
    float along = (fract((obj_pos.y - ttime * 2.5) / 18.0) - 0.5) * 6.0;
    float band = exp(-along * along);
    float emit = 0.4 + 1.0 * smoothstep(0.05, 0.3, joint) + 0.6 * band + 0.25 * pulse;
    emit *= 0.6 + 0.4 * saturation + 0.4 * max(dot(nb, view), 0.0);
    // Right in front of the eye a glowing wall would fill the screen with flat white: it dims.
    emit *= mix(0.55, 1.0, smoothstep(1.0, 5.0, dist));
    // Coloured emitters are beams: soft at the edges of their span, with shafts across the span
    // drifting slowly and streaks along their length.
    float core = 1.0 - smoothstep(0.3, 1.0, abs(obj_pos.y) / 6.0);
    float shafts = 0.7 + 0.3 * wave_sin(obj_pos.y * 2.2 + ttime * 1.5) * wave_sin(obj_pos.y * 0.9 - ttime * 0.7);
    float streak = (0.8 + 0.2 * wave_sin(obj_pos.z * 40.0 - ttime * 3.0)) * shafts;
    emit *= mix(1.0, core * streak * 0.6 * (1.0 + 2.5 * mottle), saturation);
    colour = colour * 0.4 + albedo * emit;
    glow = clamp(0.4 + 0.3 * band + 0.4 * saturation, 0.0, 1.0);
  } else if (Mode == 2) {
    float facing = max(dot(n, view), 0.0);
    float streak = 0.65 + 0.35 * wave_sin(obj_pos.z * 2.3 - fttime * 6.0 + obj_pos.y);
    float facing2 = facing * facing;
    colour = albedo * (0.35 + 1.5 * facing * sqrt(facing) * streak) +
             vec3(0.6) * facing2 * facing2 * facing2 * (0.6 + 0.4 * pulse);
    glow = 1.0;
  } else {
    // Coloured accents shine a little by themselves so they stay readable in the dark; they
    // keep their occlusion (a little glow only).
    float facing = max(dot(nb, view), 0.0);
    colour += albedo * accent * (0.02 + 0.05 * facing * facing + 0.12 * pulse);
    glow = accent * 0.1;
  }

  // Rims of the openings: warm light on broken edges, a cold line on clean slots.
  vec3 rim_colour = NoBreak > 0.5 ? vec3(0.55, 0.75, 1.0) : vec3(1.0, 0.78, 0.55);
  colour += rim_colour * rim * (0.9 + 0.6 * pulse);
  glow = max(glow, rim);

  // Far away everything dissolves into the haze; the first few units stay clear, so near things
  // keep their contrast and the fog reads as depth.
  float fog = falloff(max(dist - 6.0, 0.0) * 0.04);
  colour = mix(far_haze, colour, fog);
  glow *= fog;

  gl_FragData[0] = vec4(shoulder(colour), glow);
  // The facet normal: the surface the depth buffer holds, which the ambient occlusion needs.
  gl_FragData[1] = vec4(facet * 0.5 + 0.5, clamp(-eye_pos.z / 30.0, 0.0, 1.0));
}
