#pragma once
// The offline loop: the program's start-up in the hidden window on a caller-driven clock, then
// the show one exact frame step at a time, drawing only the frames the session's output takes.
struct offline_session;

// Runs the start-up and the frames of `session` (its options checked, its sink made). Returns the
// exit status: the run's ending's (offline_exit.h) once the window is open, 1 when it cannot open
// and 2 when the size exceeds what its GL context allows (the usage printed).
int play_offline(offline_session& session);
