#pragma once
// What the files of the SDL backend share among themselves: the show window's handles and the
// helpers more than one of them uses. Nothing outside shell/sdl/ includes this.
#include <SDL.h>

#include <string>
#include <vector>

// The show window (or the offline modes' hidden one) and its GL context; null when closed.
struct sdl_backend_state {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  bool video_started = false;  // the video subsystem was started for the window
};

extern sdl_backend_state sdl_backend;

// Requests a compatibility-profile context, RGBA8, 24-bit depth, no stencil, double buffered,
// for the next window SDL creates. False when SDL refuses one of the attributes.
bool set_show_pixel_format();

// True when SDL's video driver draws nowhere anyone can see (it falls back to an offscreen driver
// when there is no display): the dialog and the show window cannot be shown. Sets SDL's error to
// say so.
bool video_shows_nothing();

// The show window's events, turned into window messages for the shared window procedure. A close
// request pushes SDL_QUIT, which ends the main loop.
void dispatch_sdl_event(const SDL_Event& event);

// The virtual-key code of a key, or -1 for keys the program has no code for. Letters follow the
// layout (key code); the top row (digits, the key left of 1, minus and equals) and the comma,
// period and bracket keys follow their position (scan code), as the Windows codes do.
int virtual_key_of(SDL_Keycode key, SDL_Scancode scancode);

// The command line once the program is in its working folder, with the storage of its texts.
struct start_command_line {
  std::vector<std::string> arguments;
  std::vector<char*> pointers;  // argv: into `arguments`, null-terminated
};

// Started in a folder that does not hold the show's data, changes to the program's own folder,
// the paths on the command line made absolute against the folder it was started in (argc and argv
// then point into `command`). A failed change is reported on standard error; the program goes on.
void enter_start_folder(int& argc, char**& argv, start_command_line& command);

// The folder holding the program's file, with a trailing '/'; empty when it cannot be told.
std::string program_folder();
