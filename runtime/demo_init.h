#pragma once
// Brings the demo up once the window and its GL context exist: render targets, the loading frame,
// the show part and its assets, the soundtrack, the show clock. Called from init_gl. A failure of
// the show's set-up or of the sound prints its reason on standard error, shows its message and
// returns false: the caller ends the program with exit code 1.

bool demo_init();

// The rate the sound library is opened at, in sample frames per second.
constexpr int music_rate = 44100;

// The soundtrack, relative to the working directory.
constexpr const char* soundtrack_path = "music//Zelmor - Vorteline.mp3";
