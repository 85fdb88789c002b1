#pragma once
// The window of the offline modes: hidden, with the show window's GL context settings, sized like
// a fullscreen display mode of the requested size; the show renders at its 16:9 part and is
// letterboxed as with "Force 16:9".

// Sets the display fields of demo_state for a width x height screen with Force 16:9.
void set_offline_display(int width, int height);

// Opens the hidden window and its GL context with the extension loader. False, with a message on
// standard error, when no window or context can be made.
bool open_offline_window();

// The largest window side the open window's GL context can render the show at: the least of its
// texture, renderbuffer and viewport limits.
int offline_gl_size_limit();

// Runs the program's window start-up in the open window: GL defaults and the demo start-up, which
// loads the show and starts the soundtrack. False when the start-up failed (it has said why).
bool start_offline_show();

// Tears the window and context down (safe to call twice).
void close_offline_window();

// Called at every present while the window is open (the loading screen during start-up), before
// the buffers would swap; null for none.
extern void (*offline_present_observer)();
