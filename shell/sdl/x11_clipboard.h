#pragma once
// The recorded text on the X11 clipboard after the program has ended. An X11 selection lives only
// as long as the client that owns it, so the program starts itself once more as a small keeper
// process that takes the clipboard and serves the text until another program takes it.
#include <string>

// The argument that makes the program the keeper.
constexpr const char* clipboard_keeper_argument = "--keep-clipboard";

// Starts the keeper with `text` and returns once it owns the clipboard. False, with the reason in
// `error`, when it cannot be started or cannot take the clipboard.
bool start_clipboard_keeper(const std::string& text, std::string& error);

// The keeper: reads the text from standard input up to its end, takes the CLIPBOARD selection,
// writes one byte to standard output to say so, lets go of the standard streams and serves the
// text until another program takes the selection (exit code 0) or the display goes away. Exit code
// 1 when there is no display or the selection cannot be taken.
int run_clipboard_keeper();
