#pragma once
// The display-mode list and the settings dialog on SDL.

// Fills `demo.display_modes` from the primary display's modes (the desktop size when none pass).
void enumerate_display_modes();

// Runs the modal settings dialog in a small window of its own. Returns after "Run ... " with the
// choice stored in `demo`; "Quit", Escape and the close box end the process with exit code 0.
void run_settings_dialog();
