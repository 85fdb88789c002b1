// Render targets: a drawing framebuffer of renderbuffers, resolved by blits into a framebuffer of
// textures from the texture table.
#include <GL/glew.h>

#include <algorithm>

#include "engine/render_context.h"

namespace {

int clamp_target(int target) { return std::clamp(target, 0, render_context::target_count - 1); }

uint32_t new_renderbuffer(int samples, GLenum format, int width, int height) {
  GLuint name = 0;
  glGenRenderbuffersEXT(1, &name);
  glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, name);
  glRenderbufferStorageMultisampleEXT(GL_RENDERBUFFER_EXT, samples, format, width, height);
  return name;
}

}  // namespace

void render_context::create_target(int target, int width, int height, int samples) {
  const int t = clamp_target(target);
  target_color0[t] = new_renderbuffer(samples, GL_RGBA8, width, height);
  target_color1[t] = new_renderbuffer(samples, GL_RGBA8, width, height);
  target_depth[t] = new_renderbuffer(samples, GL_DEPTH_COMPONENT24, width, height);

  glGenFramebuffersEXT(1, &target_draw[t]);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target_draw[t]);
  glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                               target_color0[t]);
  glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT1_EXT, GL_RENDERBUFFER_EXT,
                               target_color1[t]);
  glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                               target_depth[t]);

  glGenFramebuffersEXT(1, &target_resolve[t]);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target_resolve[t]);
}

// The target index is clamped here too: an index outside the table would read past it.
void render_context::attach_color(int target, int attachment, int texture_index) {
  const int a = std::clamp(attachment, 0, 2);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target_resolve[clamp_target(target)]);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT + a, GL_TEXTURE_2D,
                            textures[texture_index], 0);
}

void render_context::attach_depth(int target, int texture_index) {
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target_resolve[clamp_target(target)]);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D,
                            textures[texture_index], 0);
}

void render_context::bind_target(int target, int count) {
  static const GLenum buffers[3] = {GL_COLOR_ATTACHMENT0_EXT, GL_COLOR_ATTACHMENT1_EXT,
                                    GL_COLOR_ATTACHMENT2_EXT};
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target_draw[clamp_target(target)]);
  glDrawBuffers(std::clamp(count, 1, 3), buffers);
}

void render_context::resolve_target(int target, int width, int height, int count, bool depth) {
  const int t = clamp_target(target);
  const int n = std::clamp(count, 1, 3);
  for (int k = 0; k < n; ++k) {
    glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, target_draw[t]);
    glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, target_resolve[t]);
    glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT + k);
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT + k);
    glBlitFramebufferEXT(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  }
  if (depth) {
    glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, target_draw[t]);
    glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, target_resolve[t]);
    glBlitFramebufferEXT(0, 0, width, height, 0, 0, width, height, GL_DEPTH_BUFFER_BIT, GL_NEAREST);
  }
}

void render_context::unbind_target() { glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0); }
