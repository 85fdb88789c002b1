#include "shell/sdl/x11_clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>

extern char** environ;

namespace {

// How long the program waits for the keeper to own the clipboard.
constexpr int keeper_start_ms = 5000;

std::string system_error(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

struct keeper_atoms {
  Atom clipboard, targets, timestamp, utf8, text, plain, plain_utf8;

  explicit keeper_atoms(Display* display)
      : clipboard(XInternAtom(display, "CLIPBOARD", False)),
        targets(XInternAtom(display, "TARGETS", False)),
        timestamp(XInternAtom(display, "TIMESTAMP", False)),
        utf8(XInternAtom(display, "UTF8_STRING", False)),
        text(XInternAtom(display, "TEXT", False)),
        plain(XInternAtom(display, "text/plain", False)),
        plain_utf8(XInternAtom(display, "text/plain;charset=utf-8", False)) {}
};

// A requestor may vanish before its answer arrives; the errors that follow are no reason to stop.
int ignore_x_error(Display*, XErrorEvent*) { return 0; }

// The server time of a zero-length change to a property of `window`: ownership is taken with a
// real time, so other clients can order it against their own.
Time server_time(Display* display, Window window) {
  XSelectInput(display, window, PropertyChangeMask);
  const Atom stamp = XInternAtom(display, "VORTELINE_CLIPBOARD", False);
  XChangeProperty(display, window, stamp, XA_STRING, 8, PropModeAppend, nullptr, 0);
  XEvent event;
  XWindowEvent(display, window, PropertyChangeMask, &event);
  return event.xproperty.time;
}

// Answers one request for the selection: its targets, the time it was taken, or the text in one
// of the text forms. Anything else, and text too large for one property change, is refused.
void answer(Display* display, const XSelectionRequestEvent& request, const keeper_atoms& atoms,
            const std::string& text, Time owned_since) {
  // Obsolete clients name no property: the target is used instead.
  const Atom property = request.property != None ? request.property : request.target;
  const long max_request =
      XExtendedMaxRequestSize(display) ? XExtendedMaxRequestSize(display) : XMaxRequestSize(display);
  const size_t max_bytes = static_cast<size_t>(max_request) * 4 - 64;
  const Atom text_targets[] = {atoms.utf8, XA_STRING, atoms.text, atoms.plain, atoms.plain_utf8};
  bool answered = true;
  if (request.target == atoms.targets) {
    const Atom list[] = {atoms.targets, atoms.timestamp, atoms.utf8,      XA_STRING,
                         atoms.text,    atoms.plain,     atoms.plain_utf8};
    XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(list), static_cast<int>(std::size(list)));
  } else if (request.target == atoms.timestamp) {
    const long time = static_cast<long>(owned_since);
    XChangeProperty(display, request.requestor, property, XA_INTEGER, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&time), 1);
  } else if (std::find(std::begin(text_targets), std::end(text_targets), request.target) !=
                 std::end(text_targets) &&
             text.size() <= max_bytes) {
    // The recorded text is plain ASCII: every text form holds the same bytes.
    const Atom type = request.target == atoms.text ? XA_STRING : request.target;
    XChangeProperty(display, request.requestor, property, type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
  } else {
    answered = false;
  }
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = display;
  reply.xselection.requestor = request.requestor;
  reply.xselection.selection = request.selection;
  reply.xselection.target = request.target;
  reply.xselection.property = answered ? property : None;
  reply.xselection.time = request.time;
  XSendEvent(display, request.requestor, False, NoEventMask, &reply);
  XFlush(display);
}

// Points the standard streams at /dev/null, so that nobody reading the program's output waits for
// the keeper.
void let_go_of_streams() {
  const int null = open("/dev/null", O_RDWR);
  if (null < 0) return;
  for (int fd = 0; fd <= 2; ++fd) dup2(null, fd);
  if (null > 2) close(null);
}

}  // namespace

bool start_clipboard_keeper(const std::string& text, std::string& error) {
  // One socket pair carries the text to the keeper and its one byte back; a keeper that dies
  // early gives an error on the send, not a SIGPIPE.
  int sockets[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
    error = system_error("no socket pair");
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, sockets[1], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, sockets[1], STDOUT_FILENO);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // A session of its own: the terminal's signals to the program's process group leave it alone.
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  char name[] = "vorteline";
  std::string argument = clipboard_keeper_argument;
  char* argv[] = {name, argument.data(), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, "/proc/self/exe", &actions, &attributes, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(sockets[1]);
  if (spawned != 0) {
    close(sockets[0]);
    error = std::string("cannot start the clipboard keeper: ") + std::strerror(spawned);
    return false;
  }

  for (size_t sent = 0; sent < text.size();) {
    const ssize_t n = send(sockets[0], text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    sent += static_cast<size_t>(n);
  }
  shutdown(sockets[0], SHUT_WR);
  pollfd reply{sockets[0], POLLIN, 0};
  char byte = 0;
  const bool ready = poll(&reply, 1, keeper_start_ms) > 0 && read(sockets[0], &byte, 1) == 1;
  close(sockets[0]);
  if (!ready) error = "the clipboard keeper did not take the clipboard";
  return ready;
}

int run_clipboard_keeper() {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "vorteline: keeping the clipboard: cannot open the X display\n");
    return 1;
  }
  XSetErrorHandler(ignore_x_error);
  const keeper_atoms atoms(display);
  const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  const Time owned_since = server_time(display, window);
  XSetSelectionOwner(display, atoms.clipboard, window, owned_since);
  if (XGetSelectionOwner(display, atoms.clipboard) != window) {
    std::fprintf(stderr, "vorteline: keeping the clipboard: the X server did not hand it over\n");
    XCloseDisplay(display);
    return 1;
  }
  const char ready = '\n';
  if (write(STDOUT_FILENO, &ready, 1) != 1) {
    XCloseDisplay(display);
    return 1;
  }
  let_go_of_streams();

  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == SelectionClear && event.xselectionclear.selection == atoms.clipboard) break;
    if (event.type == SelectionRequest) answer(display, event.xselectionrequest, atoms, text, owned_since);
  }
  XCloseDisplay(display);
  return 0;
}
