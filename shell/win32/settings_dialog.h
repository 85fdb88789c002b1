#pragma once
// The display settings on Windows: the primary display's modes and the modal dialog (resource 101).

// Fills `demo.display_modes` from the primary display's mode records.
void enumerate_display_modes();

// Runs the settings dialog; returns after "Run ... " with the choice stored in `demo`. "Quit",
// Escape and the close box end the process with exit code 0.
void run_settings_dialog(void* instance);
