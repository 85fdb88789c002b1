#version 120
// Velocity variant of the scene, fragment stage: screen motion around grey 0.5 in red and green
// (the clear colour means "no motion"), eye distance / 30 in blue.

varying vec2 motion;
varying float distance_eye;

void main() {
  vec2 m = clamp(0.5 + motion * 2.0, 0.0, 1.0);
  gl_FragColor = vec4(m, clamp(distance_eye / 30.0, 0.0, 1.0), 1.0);
}
