#version 120
// Velocity variant of the scene, vertex stage: the screen motion of each point as the camera
// moves forward by a small step, and its eye distance.

varying vec2 motion;
varying float distance_eye;

void main() {
  vec4 eye = gl_ModelViewMatrix * gl_Vertex;
  vec4 now = gl_ProjectionMatrix * eye;
  vec4 next = gl_ProjectionMatrix * (eye + vec4(0.0, 0.0, 0.25, 0.0));
  motion = next.xy / max(next.w, 0.01) - now.xy / max(now.w, 0.01);
  distance_eye = -eye.z;
  gl_Position = now;
}
