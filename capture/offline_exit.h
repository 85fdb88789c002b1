#pragma once
// How an offline run ends. Every ending finishes the output with what it has, reports the run on
// standard error and ends the process: the program's own exits (the show's end, a part's request,
// a failed start-up), which reach the platform's exit hook from inside a frame; the loop's end
// when the output is complete or fails; and an interrupt (Ctrl+C or a termination request), which
// the loop notices after the frame in progress.
struct offline_session;

// The exit status of a run ended by an interrupt: the shells' status for a process that SIGINT
// ended (128 + 2), though the output is finished first.
constexpr int interrupted_exit_status = 130;

// Makes `session` the run that the endings finish, installs the exit hook in the platform's hooks
// and the interrupt handlers. Once, before the start-up.
void install_offline_exits(offline_session& session);

// True once an interrupt has arrived.
bool offline_interrupted();

// Ends the run as the program does at the end of the show: sound closed, window gone, then the
// output finished and the process ended with `code` (1 when the output is not complete).
[[noreturn]] void leave_offline_run(int code);
