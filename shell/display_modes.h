#pragma once
// The display-mode list and the settings dialog's rules, shared by every backend: which modes are
// offered, how they are labelled, which one is preselected and what "Run ... " stores.
#include <string>
#include <vector>

#include "runtime/demo_state.h"

// True for a landscape mode no wider or taller than 1.8:1 and no side above 2047 pixels.
bool accept_display_mode(int width, int height);

// Appends (width, height) when it is accepted and not yet listed; the list keeps the driver's order.
void add_display_mode(std::vector<display_mode>& modes, int width, int height);

// The mode list must offer at least one entry: an empty list gets the desktop size.
void ensure_display_mode(std::vector<display_mode>& modes, int desktop_width, int desktop_height);

// The mode's label in the resolution list, with "(16:10)" or "(16:9)" for those ratios.
std::string display_mode_label(const display_mode& mode);

// Index of the mode selected when the dialog opens: 1280 x 720, else 1024 x 768, else 0.
int preselected_display_mode(const std::vector<display_mode>& modes);

// The dialog's state when "Run ... " is pressed.
struct dialog_choice {
  int mode_index = 0;
  bool antialiased = true;
  bool windowed = false;
  bool force_16_9 = true;
};

// Height of the 16:9 picture for a given width (the single-precision quotient, truncated).
int32_t height_16_9(int32_t width);

// Stores the choice into `state`: toggles, screen size and render size.
void apply_dialog_choice(demo_state& state, const dialog_choice& choice);

// Tells the viewer, on standard error and in a message box, that the dialog cannot be shown: the
// reason, and the settings the show starts with instead (as apply_dialog_choice stored them).
void report_no_dialog(const std::string& reason, const demo_state& state);
