// The one render context of the program and its texture binding.
#include "engine/render_context.h"

#include <GL/glew.h>

render_context global_render_context;

void render_context::bind_texture(int index) { glBindTexture(GL_TEXTURE_2D, textures[index]); }
