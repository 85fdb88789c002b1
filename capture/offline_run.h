#pragma once
// The offline modes of the program (see capture/offline_options.h): the show played on a
// caller-driven clock, one exact frame step at a time, with the program's own start-up, frame
// function and exits, in a hidden window. Frames nobody sees advance only the show's timeline.

// Runs the offline command line and returns the process exit code: 0 on success, 1 when the show
// or the output failed, 2 for a malformed command line. The show's own exits (the end of the
// show) finish the output and end the process from inside a frame.
int run_offline_command(int argc, const char* const* argv);
