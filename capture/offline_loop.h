#pragma once
// The offline loop: the program's start-up in the hidden window on a caller-driven clock, then
// the show one exact frame step at a time, drawing only the frames the session's output takes.
struct offline_session;

// Runs the start-up and the frames of `session` (its options checked, its sink made, its exits
// installed). Ends the process through the run's endings once the show has started; returns an
// exit status only when the window cannot open (1) or the size exceeds what its GL context allows
// (2, the usage printed).
int play_offline(offline_session& session);
