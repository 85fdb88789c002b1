#pragma once
// Brings the demo up once the window and its GL context exist: render targets, the loading frame,
// the show part and its assets, the soundtrack, the show clock. Called from init_gl. A sound
// failure prints its reason on standard error, shows its message and ends the process with exit
// code 1; false is returned only where the exit hook does not end it (tests).

bool demo_init();

// The soundtrack, relative to the working directory.
constexpr const char* soundtrack_path = "music//Zelmor - Vorteline.mp3";
