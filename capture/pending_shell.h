#pragma once
// The shell's shared GL half of the window (projection on resize, GL defaults and the demo
// start-up), for builds in which the shell's window code is not in the tree yet. Same names and
// meaning as the shell's; removed once shell/gl_window.h exists.

void resize_gl_scene(int width, int height);
bool init_gl();
