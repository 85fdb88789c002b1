#pragma once
// Author mode's entry on SDL (author_main.cpp), called by main for `--author ...`.

// Returns the exit status: 0 at the show's end or when the window closes, 1 for a failed start,
// 2 for a refused command line.
int run_author_mode(int argc, char** argv);
