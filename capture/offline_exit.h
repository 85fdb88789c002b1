#pragma once
// How an offline run ends. Every ending finishes the output with what it has, reports the run on
// standard error and gives the exit status for the program to end with: the program's own endings
// (the show's end, a part's request, a failed start-up), which the frame and the start-up report;
// the loop's end when the output is complete or fails; and an interrupt (Ctrl+C or a termination
// request), which the loop notices after the frame in progress.
struct offline_session;

// The exit status of a run ended by an interrupt: the shells' status for a process that SIGINT
// ended (128 + 2), though the output is finished first.
constexpr int interrupted_exit_status = 130;

// Installs the interrupt handlers. Once, before the start-up.
void install_offline_interrupts();

// True once an interrupt has arrived.
bool offline_interrupted();

// Finishes the output with what it has and reports the run; the exit status: `code`, or 1 when
// the output is not complete.
int finish_offline_run(offline_session& session, int code);

// Ends the run as the program does at the end of the show: sound closed, window gone, then the
// output finished as finish_offline_run does.
int leave_offline_run(offline_session& session, int code);
