// The windowing services on Win32: message boxes, clipboard, console, presenting,
// window teardown and the performance counter.
#include "runtime/platform.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "runtime/demo_state.h"
#include "shell/win32/backend.h"

namespace {

message_box_answer show_message_box(const char* text, const char* caption, message_box_kind kind) {
  UINT type = MB_OK | MB_ICONEXCLAMATION;
  if (kind == message_box_kind::ok_stop) type = MB_OK | MB_ICONSTOP;
  if (kind == message_box_kind::ok_information) type = MB_OK | MB_ICONINFORMATION;
  if (kind == message_box_kind::yes_no_exclamation) type = MB_YESNO | MB_ICONEXCLAMATION;
  const int answer = MessageBoxA(nullptr, text, caption, type);
  if (kind != message_box_kind::yes_no_exclamation) return message_box_answer::ok;
  return answer == IDYES ? message_box_answer::yes : message_box_answer::no;
}

void copy_to_clipboard_hook(const std::string& text) { copy_text_to_clipboard(text); }

void swap_buffers() { SwapBuffers(static_cast<HDC>(demo.hdc)); }

// Reopens a C stream on the console (text mode), unbuffered.
void attach_stream(FILE* stream, const char* device, const char* mode) {
  if (std::freopen(device, mode, stream)) std::setvbuf(stream, nullptr, _IONBF, 0);
}

int64_t counter() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

int64_t counter_frequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

}  // namespace

void install_platform() {
  platform = {show_message_box, copy_to_clipboard_hook, kill_gl_window, swap_buffers,
              counter,          counter_frequency};
}

bool copy_text_to_clipboard(const std::string& text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
  if (!block) return false;
  void* memory = GlobalLock(block);
  if (!memory) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(memory, text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  if (!OpenClipboard(nullptr)) {
    GlobalFree(block);
    return false;
  }
  EmptyClipboard();
  SetClipboardData(CF_TEXT, block);  // the block belongs to the clipboard from here on
  CloseClipboard();
  return true;
}

void open_console() {
  AllocConsole();
  CONSOLE_SCREEN_BUFFER_INFO info{};
  GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info);
  info.dwSize.Y = 1000;
  SetConsoleScreenBufferSize(GetStdHandle(STD_OUTPUT_HANDLE), info.dwSize);
  attach_stream(stdout, "CONOUT$", "w");
  attach_stream(stdin, "CONIN$", "r");
  attach_stream(stderr, "CONOUT$", "w");
  // cout, cin and cerr write through the C streams in order.
  std::ios::sync_with_stdio(true);
}
