#version 120
// Scene material, vertex stage. Passes the fragment stage the surface in eye space (lighting),
// in object space (openings and triplanar detail, both fixed to the object) and in the projector's
// texture space (texture unit 2 holds the projector matrix).

varying vec3 eye_pos;
varying vec3 eye_normal;
varying vec3 obj_pos;
varying vec3 obj_normal;
varying vec4 projected;
varying vec2 screen;  // normalised device x, y: where the haze glows behind the surface

void main() {
  vec4 eye = gl_ModelViewMatrix * gl_Vertex;
  eye_pos = eye.xyz;
  eye_normal = gl_NormalMatrix * gl_Normal;
  obj_pos = gl_Vertex.xyz;
  obj_normal = gl_Normal;
  projected = gl_TextureMatrix[2] * gl_Vertex;
  gl_FrontColor = gl_Color;
  gl_Position = ftransform();
  screen = gl_Position.xy / max(abs(gl_Position.w), 1e-4);
}
