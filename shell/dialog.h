#pragma once
// The settings dialog's contract: each backend's dialog.cpp implements both operations; the rules
// they apply (which modes, labels, preselection, what "Run ... " stores) are in display_modes.h.

// Fills `demo.display_modes` from the primary display's modes (the desktop size when none pass).
void enumerate_display_modes();

// What the viewer pressed: "Run ... " (the choice is stored in `demo`) or "Quit" (also Escape and
// the close box), after which the program ends with exit code 0.
enum class dialog_outcome { run, quit };

// Runs the modal settings dialog.
dialog_outcome run_settings_dialog();
