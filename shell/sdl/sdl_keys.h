#pragma once
// SDL key codes to the Windows virtual-key codes the program keeps in `demo.keys`.
#include <SDL.h>

// The virtual-key code of a key, or -1 for keys the program has no code for. Letters follow the
// layout (key code); the top row (digits, the key left of 1, minus and equals) follows its position
// (scan code), as the Windows codes do.
int virtual_key_of(SDL_Keycode key, SDL_Scancode scancode);
