#pragma once
// Author mode's one-line display at the top of the show window, drawn over the finished frame.

// Sets up the drawing (GL context current). False when it cannot.
bool open_author_overlay();
// Draws `line` (skipped when null) and, below it, `error` in red (skipped when null) over a
// window of `width` x `height` pixels; leaves the GL state as it found it.
void draw_author_overlay(const char* line, const char* error, int width, int height);
void close_author_overlay();
